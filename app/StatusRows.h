// Text rules of the dashboard's rows.
//
// The status area has two rows of one width; a message has two
// texts. A first text too wide for its row goes on in the second row when
// the message has no second text; whatever still does not fit ends with
// "..." after its last whole word that fits. Nothing is cut inside a word
// unless the word alone is wider than the row.
#pragma once

#include <functional>
#include <string>

struct StatusRows {
    std::string first, second;
};

// Width in pixels of `length` characters of `text`, as drawn.
using StatusTextWidth = std::function<int(const char* text, int length)>;

StatusRows FitStatusRows(const std::string& first, const std::string& second, int width,
                         const StatusTextWidth& measure);

// One file row: `label` then `path`, shortened to `width` by a "..." in the
// path's folders so that the file name stays (c:\rec\...\take.wav); only a
// name too wide by itself is cut, after "...\", with "..." at its end. The
// label stays whole unless it alone is too wide.
std::string FitPathRow(const std::string& label, const std::string& path, int width,
                       const StatusTextWidth& measure);
