#pragma once

// The 51La plug-in's own texts.
namespace LaTexts {

inline constexpr char LoginItem[] = "51拉统计登陆";
inline constexpr char DialogTitle[] = "51La设置";
inline constexpr char SiteName[] = "网站名称：";
inline constexpr char SiteId[] = "51LaID：";
inline constexpr char Password[] = "密码：";
inline constexpr char Ok[] = "确定";
inline constexpr char Cancel[] = "取消";

} // namespace LaTexts
