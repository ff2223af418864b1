#pragma once

#include <QIcon>

// The program's own 16x16 pictures, drawn rather than shipped.
namespace Icons {

// Menu icons by their index in the menu image list: 2 red cross, 4 magnifier, 6 pen,
// 8 blue up arrow, 10 blue plus sign.
QIcon menuIcon(int index);
// Tree icons by index: 0 folder, 4 house, 7 globe.
QIcon treeIcon(int index);

// A small badge of our own for a provider in the grid's headers (index of
// HistoryColumns::Provider); none for 0.
QIcon providerBadge(int provider);

} // namespace Icons
