#pragma once

// The main window's own texts, in one place.
namespace AppTexts {

inline constexpr char WindowTitle[] = "Korvani站长工具包";
inline constexpr char Yes[] = "是";
inline constexpr char No[] = "否";

// Menu bar
inline constexpr char FileMenu[] = "文件";
inline constexpr char PluginMenu[] = "插件";
inline constexpr char HelpMenu[] = "帮助";
inline constexpr char AddNode[] = "添加节点";
inline constexpr char AddChildNode[] = "添加子节点";
inline constexpr char Rename[] = "重命名";
inline constexpr char MoveUp[] = "上移";
inline constexpr char Edit[] = "编辑";
inline constexpr char Delete[] = "删除";
inline constexpr char Query[] = "查询";
inline constexpr char PluginToggle[] = "开启/关闭51La自动登录插件";
inline constexpr char PluginEdit[] = "修改51啦统计登陆参数";
inline constexpr char OnlineHelp[] = "在线帮助";
inline constexpr char OnlineUpgrade[] = "在线升级";
// Tree pop-up only
inline constexpr char SiteSettings[] = "参数设置";
inline constexpr char OpenSite[] = "打开网站";

// Site tree
inline constexpr char NewNode[] = "新节点";
inline constexpr char ChildSuffix[] = "-子节点";
inline constexpr char HasChildren[] = "有子节点，不允许删除\r请先删除子节点";
inline constexpr char ConfirmDeleteNode[] = "确定删除【%1】吗？";
inline constexpr char RootNotDeletable[] = "根目录不允许删除";

// Query and history
inline constexpr char QueryStarting[] = "正在执行查询...";
inline constexpr char WaitForQuery[] = "上次查询未结束,请等待查询结束";
inline constexpr char ConfirmDeleteRow[] = "确定删除吗？";
inline constexpr char StoreFailed[] = "查询结果未能保存：%1";

// Browser pages
inline constexpr char MainPage[] = "首页";
inline constexpr char NextPage[] = "次页";

} // namespace AppTexts
