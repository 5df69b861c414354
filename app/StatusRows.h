// The dashboard's status area has two rows of one width; a message has two
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
