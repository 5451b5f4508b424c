#include "description.h"

#include <ini.h>

#include <cstring>
#include <fstream>
#include <sstream>

namespace {
// The parser asks for one line at a time; handing them over here lets every
// value carry its line number and every section its header's line.
struct LineSource {
    const std::string& text;
    size_t next = 0;
    int line = 0;
    Description& description;
    std::vector<std::string>& problems;
};

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The parser reads the same header and keeps only its name; the line and a
// repeated name are noted here.
void noteSectionHeader(LineSource& source, std::string line)
{
    if (source.line == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
        line.erase(0, 3);
    }
    line = trimmed(line);
    const size_t close = line.find(']');
    if (line.empty() || line[0] != '[' || close == std::string::npos) {
        return;
    }
    const std::string name = trimmed(line.substr(1, close - 1));
    for (const DescribedSection& section : source.description.sections) {
        if (section.name == name) {
            source.problems.push_back(
                problemAt(source.description, source.line,
                          "[" + name + "] stands twice (first on line " + std::to_string(section.line) + ")"));
        }
    }
    source.description.sections.push_back({name, source.line, {}});
}

char* nextLine(char* buffer, int size, void* stream)
{
    LineSource& source = *static_cast<LineSource*>(stream);
    if (source.next >= source.text.size()) {
        return nullptr;
    }
    size_t end = source.text.find('\n', source.next);
    end = end == std::string::npos ? source.text.size() : end + 1;
    const std::string line = source.text.substr(source.next, end - source.next);
    source.next = end;
    ++source.line;
    if (line.size() + 1 > static_cast<size_t>(size)) {
        source.problems.push_back(problemAt(source.description, source.line,
                                            "the line is longer than " + std::to_string(size - 2) + " characters"));
        return nullptr;
    }
    std::memcpy(buffer, line.c_str(), line.size() + 1);
    noteSectionHeader(source, line);
    return buffer;
}

int keepValue(void* user, const char*, const char* key, const char* value)
{
    LineSource& source = *static_cast<LineSource*>(user);
    if (source.description.sections.empty()) {
        source.problems.push_back(
            problemAt(source.description, source.line, std::string("'") + key + "' stands before the first [section]"));
        return 1;
    }
    source.description.sections.back().values.push_back({key, value, source.line});
    return 1;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}
} // namespace

std::string problemAt(const Description& description, int line, const std::string& text)
{
    return description.path + ":" + std::to_string(line) + ": " + text;
}

Description parseDescription(const std::string& path, const std::string& text, std::vector<std::string>& problems)
{
    Description description{path, folderOf(path), {}};
    LineSource source{text, 0, 0, description, problems};
    const int firstBadLine = ini_parse_stream(nextLine, &source, keepValue, &source);
    if (firstBadLine > 0) {
        problems.push_back(problemAt(description, firstBadLine, "expected [section] or key = value"));
    }
    return description;
}

bool readWholeFile(const std::string& path, std::string& contents)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    contents = text.str();
    return file.good() || file.eof();
}

Description readDescription(const std::string& path, std::vector<std::string>& problems)
{
    std::string text;
    if (!readWholeFile(path, text)) {
        problems.push_back(path + ": cannot be read");
        return {path, folderOf(path), {}};
    }
    return parseDescription(path, text, problems);
}
