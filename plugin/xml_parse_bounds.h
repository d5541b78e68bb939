// What TinyXML's parse of a text could cost, bounded before the text is handed to it.
//
// TinyXML parses nested elements recursively (and frees them so), so a deeply nested text
// overflows the stack; and it looks each attribute up among those its element already has, so
// the work on an element grows with the square of its attributes. Neither can be bounded from
// inside TinyXML. Rather than follow its parse, the bound counts bytes: TinyXML starts a node (an
// element among them) only at a "<", and keeps an attribute only once it has read its "=", so a
// text that holds at most n of each nests at most n deep and gives no element more than n
// attributes, whatever TinyXML makes of the rest.
#pragma once

#include <string_view>

// Whether text, up to its first zero byte (where TinyXML's parse ends), holds at most maxDepth
// "<" bytes and at most maxAttributes "=" bytes.
bool XmlParseWithinBounds(std::string_view text, int maxDepth, int maxAttributes);
