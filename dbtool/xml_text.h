// What the XML readers share: the line of any node, element names without their namespace
// prefix, an element's text, and the refusal of a text that is no XML or has another top.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "waypoints.h"

// Byte offsets at which the lines of the text start, to name the line of any node.
struct LineIndex {
    std::vector<size_t> starts;
};

LineIndex indexLines(const char* data, size_t size);
int32_t lineAt(const LineIndex& index, ptrdiff_t offset);
int32_t lineOf(const LineIndex& index, const pugi::xml_node& node);

// Element names compared without a namespace prefix ("gpx:wpt" is a wpt).
bool isNamed(const pugi::xml_node& node, const char* name);
pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name);

// The child's text, trimmed, with bytes that are not UTF-8 taken as code page 1252.
std::string childText(const pugi::xml_node& parent, const char* name);

// Parses the text; false with a problem (the line and column of the fault, or the top element
// found) unless it is well-formed XML whose top element is named top. shown names the format.
bool loadXml(const char* data, size_t size, const char* top, const char* shown,
             pugi::xml_document& document, const LineIndex& lines, Findings& findings);

// The document as UTF-8 text with its declaration.
std::string savedXml(const pugi::xml_document& document);
