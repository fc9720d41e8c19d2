#pragma once
// Provider pages of the sizes the benchmarks work on.

#include <string>

// A youku video search page of about 200 KB, in UTF-8 as it is downloaded.
inline std::string SearchPage() {
    std::string page = "<html><head><title>搜索</title></head><body><ul class=\"tabs\"><li>视频</li></ul>"
                       "<div class=\"searchHead\">找到相关视频</div><div id=\"detail\"><ul>";
    for (int i = 0; page.size() < 200 * 1024; ++i)
        page += "<li class=\"v\"><div class=\"vThumb\"><a href=\"http://v.youku.com/v_show/id_" + std::to_string(i) +
                ".html\" target=\"video\"><img src=\"http://g1.ykimg.com/" + std::to_string(i) +
                ".jpg\" /></a></div><div class=\"vTitle\">功夫熊猫 第" + std::to_string(i) +
                "集</div><div style=\"display:none\">更多</div></li>";
    return page + "</ul></div><div class=\"LPageBar\"><a href=\"/search_video/q_x_page_2\">2</a></div></body></html>";
}
