#include "xml_text.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "text_codec.h"

LineIndex indexLines(const char* data, size_t size) {
    LineIndex index;
    index.starts.push_back(0);
    for (size_t i = 0; i < size; ++i)
        if (data[i] == '\n')
            index.starts.push_back(i + 1);
    return index;
}

int32_t lineAt(const LineIndex& index, ptrdiff_t offset) {
    if (offset < 0)
        return 0;
    auto after =
        std::upper_bound(index.starts.begin(), index.starts.end(), static_cast<size_t>(offset));
    return static_cast<int32_t>(after - index.starts.begin());
}

int32_t lineOf(const LineIndex& index, const pugi::xml_node& node) {
    return lineAt(index, node.offset_debug());
}

bool isNamed(const pugi::xml_node& node, const char* name) {
    const char* full = node.name();
    const char* colon = std::strrchr(full, ':');
    return std::strcmp(colon != nullptr ? colon + 1 : full, name) == 0;
}

pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name) {
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element && isNamed(child, name))
            return child;
    return pugi::xml_node();
}

std::string childText(const pugi::xml_node& parent, const char* name) {
    return utf8Repaired(trimmed(childNamed(parent, name).text().get()));
}

bool loadXml(const char* data, size_t size, const char* top, const char* shown,
             pugi::xml_document& document, const LineIndex& lines, Findings& findings) {
    pugi::xml_parse_result parsed = document.load_buffer(data, size);
    if (!parsed) {
        int32_t line = lineAt(lines, parsed.offset);
        size_t column = static_cast<size_t>(parsed.offset) - lines.starts[line - 1] + 1;
        addProblem(findings, line,
                   std::string("not well-formed XML (") + parsed.description() + ", column " +
                       std::to_string(column) + ")");
        return false;
    }
    pugi::xml_node element = document.document_element();
    if (!isNamed(element, top)) {
        addProblem(findings, 0,
                   std::string("not a ") + shown + " file: the top element is <" + element.name() +
                       ">, not <" + top + ">");
        return false;
    }
    return true;
}

std::string savedXml(const pugi::xml_document& document) {
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default | pugi::format_no_declaration);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + out.str();
}
