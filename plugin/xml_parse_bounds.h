// What TinyXML's parse of a text would cost, found before the text is handed to it.
//
// TinyXML parses nested elements recursively (and frees them so), so a deeply nested text
// overflows the stack; and it looks each attribute up among those its element already has, so
// the work on an element grows with the square of its attributes. Neither can be bounded from
// inside TinyXML, so the text is scanned first, without recursion.
#pragma once

#include <string_view>

// Whether TinyXML, parsing text byte by byte (TIXML_ENCODING_LEGACY) up to its first zero byte,
// nests elements at most maxDepth deep and gives no element more than maxAttributes attributes.
// The scan reads markup as TinyXML does (comments, CDATA, declarations and other "<!" or "<?"
// nodes, quoted attribute values, character references that run to the next ";"), up to where
// TinyXML stops on an error: what lies beyond is never parsed, and so does not count.
bool XmlParseWithinBounds(std::string_view text, int maxDepth, int maxAttributes);
