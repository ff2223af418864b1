#pragma once

// The upgrade check's messages.
namespace UpgradeTexts {

inline constexpr char AskUpgrade[] = "发现新版本 %1（当前版本 %2）。\n\n%3\n\n是否现在升级？";
inline constexpr char ConnectionLost[] = "下载升级文件时连接中断，升级未完成。";
inline constexpr char HostUnreachable[] = "无法连接升级服务器，请检查网络连接。";
inline constexpr char LostFile[] = "升级文件“%1”不存在、无法访问或已损坏。\n是否跳过该文件继续升级？";
inline constexpr char NoInfoFile[] = "没有找到有效的升级信息。";
inline constexpr char NoUpdateAvailable[] = "当前已是最新版本。";
inline constexpr char PasswordRequest[] = "升级服务器要求输入密码，无法继续升级。";
inline constexpr char InstallFailed[] = "升级文件无法写入程序目录，升级未完成：%1";

} // namespace UpgradeTexts
