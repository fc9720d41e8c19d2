#include "platform/browser/MasterStyle.h"

namespace platform::browser {

const char* const MasterStyle = R"css(
html, address, blockquote, body, dd, div, dl, dt, fieldset, form, frame, frameset, h1, h2, h3, h4, h5, h6,
noframes, ol, p, ul, center, dir, hr, menu, pre, header, footer, nav, section, article, aside { display: block; }
head, script, style, title, meta, link, base, noscript, template { display: none; }
html { background: #ffffff; }
body { margin: 8px; color: #000000; font-size: 18px; line-height: 1.3; }
li { display: list-item; }
table { display: table; border-collapse: separate; border-spacing: 2px; }
thead { display: table-header-group; }
tbody { display: table-row-group; }
tfoot { display: table-footer-group; }
tr { display: table-row; }
td, th { display: table-cell; padding: 1px; vertical-align: inherit; }
th { font-weight: bold; text-align: center; }
caption { display: table-caption; text-align: center; }
img { display: inline-block; }
br { display: block; }
h1 { font-size: 2em; margin: 0.67em 0; font-weight: bold; }
h2 { font-size: 1.5em; margin: 0.75em 0; font-weight: bold; }
h3 { font-size: 1.17em; margin: 0.83em 0; font-weight: bold; }
h4, p, blockquote, ul, fieldset, form, ol, dl, dir, menu { margin: 1em 0; }
h5 { font-size: 0.83em; margin: 1.5em 0; font-weight: bold; }
h6 { font-size: 0.75em; margin: 1.67em 0; font-weight: bold; }
h4 { font-weight: bold; }
ol, ul, dir, menu, dd { padding-left: 40px; }
ul { list-style-type: disc; }
ol { list-style-type: decimal; }
ol ul, ul ol, ul ul, ol ol { margin-top: 0; margin-bottom: 0; }
b, strong { font-weight: bold; }
i, em, cite, var, address { font-style: italic; }
u, ins { text-decoration: underline; }
s, strike, del { text-decoration: line-through; }
pre, tt, code, kbd, samp { font-family: monospace; }
pre { white-space: pre; }
small { font-size: 0.83em; }
big { font-size: 1.17em; }
sub { vertical-align: sub; font-size: 0.83em; }
sup { vertical-align: super; font-size: 0.83em; }
center { text-align: center; }
a { color: #0645ad; text-decoration: underline; cursor: pointer; }
hr { border: 1px inset; margin: 0.5em auto; }
input, select, textarea, button { display: inline-block; }
)css";

} // namespace platform::browser
