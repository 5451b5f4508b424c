#include "checked_product.h"

#include "picture_rules.h"
#include "rules/location_rules.h"
#include "rules/record_layout.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {
struct Checker {
    const Description& description;
    std::vector<std::string> problems;

    void problem(int line, const std::string& text) { problems.push_back(problemAt(description, line, text)); }
};

// Keys a section may hold; those marked repeatable give one line of text each.
struct KeyRule {
    const char* key;
    bool repeatable;
};

const KeyRule productKeys[] = {{"name", false},       {"version", false},     {"tagline", false},
                               {"publisher", false},  {"web address", false}, {"copyright", false},
                               {"file stamp", false}, {"licence", false}};
const KeyRule installKeys[] = {{"default folder", false},
                               {"publisher key", false},
                               {"version key", false},
                               {"previous autostart value", false},
                               {"preserved extensions", false}};
const KeyRule textKeys[] = {
    {"welcome publisher", false}, {"web note", true}, {"support", false}, {"closing note", true}};
const KeyRule rowKeys[] = {{"file", false},     {"folder", false},       {"overwrite", false},
                           {"shortcut", false}, {"role", false},         {"source", false},
                           {"program", false},  {"program note", false}, {"data", false}};

const char rowPrefix[] = "row ";
// The stand-in program composes its title and the version in a buffer of 64
// bytes, and those with its note and the publisher in one of 256.
constexpr size_t PROGRAM_TITLE_SIZE = 54;
constexpr size_t PROGRAM_NOTE_SIZE = 121;
const char uninstallerRole[] = "uninstaller";
const char readMeRole[] = "read-me";

// The description may hold any bytes: letters are judged as ASCII only.
bool isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

bool isRowSection(const std::string& name) { return name.rfind(rowPrefix, 0) == 0; }

bool equalsNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const DescribedSection* findSection(const Description& description, const std::string& name)
{
    for (const DescribedSection& section : description.sections) {
        if (section.name == name) {
            return &section;
        }
    }
    return nullptr;
}

const DescribedValue* findValue(const DescribedSection& section, const char* key)
{
    for (const DescribedValue& value : section.values) {
        if (value.key == key) {
            return &value;
        }
    }
    return nullptr;
}

template <size_t N> void checkKeys(Checker& checker, const DescribedSection& section, const KeyRule (&rules)[N])
{
    for (size_t i = 0; i < section.values.size(); ++i) {
        const DescribedValue& value = section.values[i];
        const KeyRule* rule = std::find_if(std::begin(rules), std::end(rules),
                                           [&](const KeyRule& candidate) { return value.key == candidate.key; });
        if (rule == std::end(rules)) {
            checker.problem(value.line, "'" + value.key + "' is not a key of [" + section.name + "]");
            continue;
        }
        const DescribedValue* first = findValue(section, rule->key);
        if (!rule->repeatable && first != &value) {
            checker.problem(value.line, "'" + value.key + "' is given twice in [" + section.name + "] (also on line " +
                                            std::to_string(first->line) + ")");
        }
    }
}

// The program's texts are ANSI and some are wsprintf formats: only printable
// ASCII is taken, and '%' only where a text is never a format.
bool checkCharacters(Checker& checker, const DescribedValue& value, bool percentAllowed)
{
    for (const char c : value.value) {
        if (c < ' ' || c > '~') {
            checker.problem(value.line, "'" + value.key + "' may hold printable ASCII characters only");
            return false;
        }
        if (c == '%' && !percentAllowed) {
            checker.problem(value.line, "'" + value.key + "' may not hold '%': the setup formats this text");
            return false;
        }
    }
    return true;
}

bool checkWidth(Checker& checker, const DescribedValue& value, size_t fieldSize)
{
    if (value.value.size() + 1 > fieldSize) {
        checker.problem(value.line, "'" + value.key + "' is " + std::to_string(value.value.size()) +
                                        " characters long; its field holds at most " + std::to_string(fieldSize - 1));
        return false;
    }
    return true;
}

// A required one-line text that fits its field; empty when it is missing or
// breaks a rule.
std::string textOf(Checker& checker, const DescribedSection& section, const char* key, size_t fieldSize,
                   bool percentAllowed = false)
{
    const DescribedValue* value = findValue(section, key);
    if (value == nullptr || value->value.empty()) {
        checker.problem(value ? value->line : section.line, "[" + section.name + "] needs '" + key + "'");
        return "";
    }
    if (!checkCharacters(checker, *value, percentAllowed) || !checkWidth(checker, *value, fieldSize)) {
        return "";
    }
    return value->value;
}

std::vector<std::string> linesOf(Checker& checker, const DescribedSection& section, const char* key)
{
    std::vector<std::string> lines;
    for (const DescribedValue& value : section.values) {
        if (value.key == key && checkCharacters(checker, value, false)) {
            lines.push_back(value.value);
        }
    }
    return lines;
}

int lineOf(const DescribedSection& section, const char* key)
{
    const DescribedValue* value = findValue(section, key);
    return value ? value->line : section.line;
}

// Sakamoto's method: 0 is Sunday, as SYSTEMTIME counts.
int dayOfWeek(int year, int month, int day)
{
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    year -= month < 3;
    return (year + year / 4 - year / 100 + year / 400 + offsets[month - 1] + day) % 7;
}

int daysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

void checkStamp(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    const std::string text = textOf(checker, section, "file stamp", 20);
    int year, month, day, hour, minute, second;
    char end;
    if (text.empty()) {
        return;
    }
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute, &second, &end) !=
            6 ||
        year < 1980 || year > 2099 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0) {
        checker.problem(lineOf(section, "file stamp"),
                        "'file stamp' must be a date and time from 1980 to 2099 as YYYY-MM-DD HH:MM:SS");
        return;
    }
    const int stamp[8] = {year, month, dayOfWeek(year, month, day), day, hour, minute, second, 0};
    std::copy(std::begin(stamp), std::end(stamp), product.stamp);
}

void checkVersion(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    product.version = textOf(checker, section, "version", sizeof InstallConfig::productVersion);
    std::istringstream parts(product.version);
    std::string part;
    int count = 0;
    bool wellFormed = !product.version.empty();
    while (wellFormed && std::getline(parts, part, '.')) {
        wellFormed = count < 4 && !part.empty() && part.size() <= 5 &&
                     std::all_of(part.begin(), part.end(), isAsciiDigit) && std::stoi(part) <= 65535;
        if (wellFormed) {
            product.versionNumbers[count++] = std::stoi(part);
        }
    }
    if (!product.version.empty() && (!wellFormed || product.version.back() == '.')) {
        checker.problem(lineOf(section, "version"),
                        "'version' must be one to four numbers of at most 65535, joined by dots (such as 3.08)");
    }
}

// The backdrop composes "name v version" and "name - tagline" with room for
// two closing NULs.
void checkHeading(Checker& checker, int line, const std::string& heading, size_t bufferSize)
{
    if (heading.size() + 2 > bufferSize) {
        checker.problem(line, "the backdrop's heading \"" + heading + "\" is " + std::to_string(heading.size()) +
                                  " characters long; it shows at most " + std::to_string(bufferSize - 2));
    }
}

std::string pathBeside(const Description& description, const std::string& name)
{
    return name.empty() || name[0] == '/' ? name : description.folder + "/" + name;
}

// A file the description names: it must exist beside it (or at an absolute path).
std::string namedFile(Checker& checker, CheckedProduct& product, const DescribedValue& value, std::string& contents)
{
    const std::string path = pathBeside(checker.description, value.value);
    if (value.value.empty() || !readWholeFile(path, contents)) {
        checker.problem(value.line, "'" + value.key + "' names " + path + ", which cannot be read");
        return "";
    }
    product.inputFiles.push_back(path);
    return path;
}

void checkProductSection(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    checkKeys(checker, section, productKeys);
    product.name = textOf(checker, section, "name", sizeof InstallConfig::productName);
    if (!product.name.empty() && !isFolderName(product.name.c_str(), product.name.size())) {
        checker.problem(lineOf(section, "name"), "'name' must be usable as a folder name");
    }
    checkVersion(checker, section, product);
    product.tagline = textOf(checker, section, "tagline", sizeof InstallConfig::productTagline);
    product.publisher = textOf(checker, section, "publisher", sizeof InstallConfig::publisherName);
    product.webAddress = textOf(checker, section, "web address", sizeof InstallConfig::productUrl, true);
    product.copyright = textOf(checker, section, "copyright", 256);
    checkStamp(checker, section, product);
    checkHeading(checker, lineOf(section, "version"), product.name + " v" + product.version,
                 sizeof InstallPaths::titleText);
    checkHeading(checker, lineOf(section, "tagline"), product.name + " - " + product.tagline,
                 sizeof InstallPaths::subtitleText);
    const DescribedValue* licence = findValue(section, "licence");
    std::string text;
    if (licence == nullptr) {
        checker.problem(section.line, "[product] needs 'licence', the file of the licence agreement");
    } else if (!(product.licenceFile = namedFile(checker, product, *licence, text)).empty() &&
               std::any_of(text.begin(), text.end(),
                           [](char c) { return (c < ' ' && c != '\r' && c != '\n' && c != '\t') || c > '~'; })) {
        checker.problem(licence->line, "the licence must be plain ASCII text");
    }
}

// Registry paths below HKEY_LOCAL_MACHINE: names joined by single backslashes.
bool isKeyPath(const std::string& path)
{
    return !path.empty() && path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos;
}

void checkDefaultFolder(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    product.defaultFolder = textOf(checker, section, "default folder", PATH_BUFFER_SIZE);
    char canonical[PATH_BUFFER_SIZE];
    if (product.defaultFolder.empty()) {
        return;
    }
    if (!startsWithDriveRoot(product.defaultFolder.c_str()) ||
        canonicalFolderPath(product.defaultFolder.c_str(), canonical, sizeof canonical) != LOCATION_ACCEPTED ||
        product.defaultFolder != canonical || product.defaultFolder.size() <= 3) {
        checker.problem(lineOf(section, "default folder"),
                        "'default folder' must be a folder below a drive root, written as Windows writes it "
                        "(such as C:\\Publisher)");
    } else if (product.defaultFolder.size() + 1 + product.name.size() + 1 > PATH_BUFFER_SIZE) {
        checker.problem(lineOf(section, "default folder"), "the default folder and the product name are too long "
                                                           "for a path of " +
                                                               std::to_string(PATH_BUFFER_SIZE - 1) + " characters");
    }
}

void checkInstallSection(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    checkKeys(checker, section, installKeys);
    checkDefaultFolder(checker, section, product);
    product.publisherKey = textOf(checker, section, "publisher key", PATH_BUFFER_SIZE);
    if (!product.publisherKey.empty() &&
        (!isKeyPath(product.publisherKey) || !equalsNoCase(product.publisherKey.substr(0, 9), "Software\\") ||
         product.publisherKey.size() <= 9)) {
        checker.problem(lineOf(section, "publisher key"),
                        "'publisher key' must be a key below Software\\, its names joined by single backslashes");
    }
    product.versionKey = textOf(checker, section, "version key", PATH_BUFFER_SIZE);
    if (!product.versionKey.empty() && !isKeyPath(product.versionKey)) {
        checker.problem(lineOf(section, "version key"),
                        "'version key' must be a key below the publisher key, its names joined by single backslashes");
    }
    product.autostartValue = textOf(checker, section, "previous autostart value", PATH_BUFFER_SIZE);
    if (product.autostartValue.find('\\') != std::string::npos) {
        checker.problem(lineOf(section, "previous autostart value"),
                        "'previous autostart value' is a value name and may not hold a backslash");
    }
    std::istringstream extensions(textOf(checker, section, "preserved extensions", PATH_BUFFER_SIZE));
    for (std::string extension; extensions >> extension;) {
        if (extension.size() < 2 || extension.size() > 9 || extension[0] != '.' ||
            !std::all_of(extension.begin() + 1, extension.end(),
                         [](char c) { return isAsciiUpper(c) || isAsciiDigit(c) || (c >= 'a' && c <= 'z'); })) {
            checker.problem(lineOf(section, "preserved extensions"),
                            "'" + extension + "' is not an extension such as .DAT (a dot, then letters or digits)");
        }
        product.preservedExtensions.push_back(extension);
    }
}

void checkTextsSection(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    checkKeys(checker, section, textKeys);
    product.welcomePublisher = textOf(checker, section, "welcome publisher", WELCOME_TITLE_SIZE);
    const size_t welcomeLength =
        std::string("Setup Mate For Windows\r\n\251 -%i").size() + product.welcomePublisher.size();
    if (welcomeLength + 1 > WELCOME_TITLE_SIZE) {
        checker.problem(lineOf(section, "welcome publisher"),
                        "the welcome title with 'welcome publisher' is " + std::to_string(welcomeLength) +
                            " characters long; it holds at most " + std::to_string(WELCOME_TITLE_SIZE - 1));
    }
    product.webNote = linesOf(checker, section, "web note");
    product.supportSentence = textOf(checker, section, "support", CLOSING_NOTE_SIZE);
    product.closingNote = linesOf(checker, section, "closing note");
    const size_t noteLength = joinedLines(product.closingNote).size();
    if (product.closingNote.empty()) {
        checker.problem(section.line, "[texts] needs 'closing note', one key per line of the note");
    } else if (noteLength + 1 > CLOSING_NOTE_SIZE) {
        checker.problem(lineOf(section, "closing note"),
                        "the closing note is " + std::to_string(noteLength) +
                            " bytes long with its line breaks; its message holds at most " +
                            std::to_string(CLOSING_NOTE_SIZE - 1));
    }
}

bool isResourceName(const std::string& name)
{
    return !name.empty() && name.size() < sizeof PayloadEntry::resourceName && isAsciiUpper(name[0]) &&
           std::all_of(name.begin(), name.end(), [](char c) { return isAsciiUpper(c) || isAsciiDigit(c) || c == '_'; });
}

bool endsWithExe(const std::string& name)
{
    return name.size() > 4 && equalsNoCase(name.substr(name.size() - 4), ".exe");
}

bool yesOrNo(Checker& checker, const DescribedSection& section, const char* key, bool fallback)
{
    const DescribedValue* value = findValue(section, key);
    if (value == nullptr) {
        return fallback;
    }
    if (value->value != "yes" && value->value != "no") {
        checker.problem(value->line, "'" + std::string(key) + "' must be yes or no");
    }
    return value->value == "yes";
}

// Where the row's bytes come from: exactly one of a file, a stand-in program
// or a data file the build writes; the uninstaller is built from this
// description itself.
void checkRowSource(Checker& checker, const DescribedSection& section, CheckedProduct& product, ProductRow& row,
                    bool isUninstaller)
{
    const DescribedValue* file = findValue(section, "source");
    const DescribedValue* program = findValue(section, "program");
    const DescribedValue* data = findValue(section, "data");
    const int given = (file != nullptr) + (program != nullptr) + (data != nullptr);
    if (isUninstaller) {
        row.source = RowSource::Uninstaller;
        if (given != 0) {
            checker.problem(section.line, "the uninstaller's row takes no 'source', 'program' or 'data': "
                                          "the build makes the uninstaller");
        }
        return;
    }
    if (given != 1) {
        checker.problem(section.line, "[" + section.name +
                                          "] needs exactly one of 'source' (a file), "
                                          "'program' (a stand-in program's title) or 'data'");
        return;
    }
    if (file != nullptr) {
        row.source = RowSource::File;
        std::string contents;
        row.sourceFile = namedFile(checker, product, *file, contents);
    } else if (program != nullptr) {
        row.source = RowSource::Program;
        row.programTitle = textOf(checker, section, "program", PROGRAM_TITLE_SIZE);
        if (findValue(section, "program note") != nullptr) {
            row.programNote = textOf(checker, section, "program note", PROGRAM_NOTE_SIZE);
        }
        for (const std::string* text : {&row.programTitle, &row.programNote}) {
            if (text->find_first_of("\\\"") != std::string::npos) {
                checker.problem(lineOf(section, "program"), "a stand-in program's texts may not hold \\ or \"");
            }
        }
    } else {
        row.source = RowSource::Data;
        row.dataKind = data->value;
        if (row.dataKind != "help" && row.dataKind != "addons") {
            checker.problem(data->line, "'data' must be help or addons, the files the build's payload_data writes");
        }
    }
    if (row.source == RowSource::Program && !endsWithExe(row.fileName)) {
        checker.problem(lineOf(section, "file"), "a program's 'file' must end with .exe");
    }
}

void checkRowRole(Checker& checker, const DescribedSection& section, CheckedProduct& product, const ProductRow& row)
{
    const DescribedValue* role = findValue(section, "role");
    if (role == nullptr) {
        return;
    }
    const int index = static_cast<int>(product.rows.size());
    const bool uninstaller = role->value == uninstallerRole;
    if (!uninstaller && role->value != readMeRole) {
        checker.problem(role->line, "'role' must be uninstaller or read-me");
        return;
    }
    int& roleRow = uninstaller ? product.uninstallRow : product.readMeRow;
    if (roleRow >= 0) {
        checker.problem(role->line, "a second row with the role " + role->value);
    }
    roleRow = index;
    if (uninstaller && (!row.inWindowsFolder || !endsWithExe(row.fileName))) {
        checker.problem(role->line, "the uninstaller is a program in the Windows folder: 'folder = Windows' "
                                    "and a 'file' ending with .exe");
    }
    if (!uninstaller && row.inWindowsFolder) {
        checker.problem(role->line, "the read-me is shown from the install folder: 'folder = install'");
    }
}

void checkRow(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    checkKeys(checker, section, rowKeys);
    ProductRow row;
    row.resource = section.name.substr(sizeof rowPrefix - 1);
    if (!isResourceName(row.resource) || row.resource == "LICENSE") {
        checker.problem(section.line, "'" + row.resource +
                                          "' is not a row name: capitals, digits and _, "
                                          "beginning with a capital, at most " +
                                          std::to_string(sizeof PayloadEntry::resourceName - 1) +
                                          " long, and not LICENSE");
    }
    row.fileName = textOf(checker, section, "file", sizeof PayloadEntry::fileName);
    if (!row.fileName.empty() && !isFolderName(row.fileName.c_str(), row.fileName.size())) {
        checker.problem(lineOf(section, "file"), "'file' must be a name Windows allows for a file");
    }
    const DescribedValue* folder = findValue(section, "folder");
    if (folder != nullptr && !equalsNoCase(folder->value, "install") && !equalsNoCase(folder->value, "Windows")) {
        checker.problem(folder->line, "'folder' must be install or Windows");
    }
    row.inWindowsFolder = folder != nullptr && equalsNoCase(folder->value, "Windows");
    row.overwrite = yesOrNo(checker, section, "overwrite", true);
    row.shortcutCaption = "-";
    if (findValue(section, "shortcut") != nullptr) {
        row.shortcutCaption = textOf(checker, section, "shortcut", sizeof PayloadEntry::shortcutCaption);
        if (!row.shortcutCaption.empty() && !isFolderName(row.shortcutCaption.c_str(), row.shortcutCaption.size())) {
            checker.problem(lineOf(section, "shortcut"), "'shortcut' names a shortcut file: it must be a name "
                                                         "Windows allows for a file");
        }
    }
    const DescribedValue* role = findValue(section, "role");
    checkRowSource(checker, section, product, row, role != nullptr && role->value == uninstallerRole);
    checkRowRole(checker, section, product, row);
    product.rows.push_back(row);
}

// The shortcuts dialog and the uninstaller take the first shortcutCount rows
// as those with shortcuts; two rows of one folder may not share a name. The
// rows stand in the order of their sections.
void checkRowOrder(Checker& checker, const CheckedProduct& product,
                   const std::vector<const DescribedSection*>& sections)
{
    for (size_t i = 1; i < product.rows.size(); ++i) {
        if (product.rows[i].shortcutCaption != "-" && product.rows[i - 1].shortcutCaption == "-") {
            checker.problem(sections[i]->line, "rows with a shortcut come first: [" + sections[i]->name +
                                                   "] has one, the row before it has none");
        }
        for (size_t j = 0; j < i; ++j) {
            if (sections[i]->name == sections[j]->name) {
                continue;
            }
            if (equalsNoCase(product.rows[i].fileName, product.rows[j].fileName) &&
                product.rows[i].inWindowsFolder == product.rows[j].inWindowsFolder) {
                checker.problem(sections[i]->line,
                                "[" + sections[i]->name + "] installs the same file as [" + sections[j]->name + "]");
            }
        }
    }
}

void checkRows(Checker& checker, CheckedProduct& product)
{
    std::vector<const DescribedSection*> sections;
    for (const DescribedSection& section : checker.description.sections) {
        if (isRowSection(section.name)) {
            checkRow(checker, section, product);
            sections.push_back(&section);
        }
    }
    const int lastLine = sections.empty() ? 1 : sections.back()->line;
    if (product.rows.empty() || product.rows.size() > PAYLOAD_ROWS) {
        checker.problem(lastLine, "a product has one to " + std::to_string(PAYLOAD_ROWS) +
                                      " [row NAME] sections; this one has " + std::to_string(product.rows.size()));
    }
    if (product.uninstallRow < 0 || product.readMeRow < 0) {
        checker.problem(lastLine, "one row needs 'role = uninstaller' and one 'role = read-me'");
    }
    checkRowOrder(checker, product, sections);
}

void checkPictures(Checker& checker, const DescribedSection& section, CheckedProduct& product)
{
    for (const DescribedValue& value : section.values) {
        const PictureRule* rule = pictureRule(value.key);
        if (rule == nullptr) {
            checker.problem(value.line, "'" + value.key + "' is not a picture; the pictures are " + pictureKeys());
            continue;
        }
        std::string contents;
        const std::string path = namedFile(checker, product, value, contents);
        if (path.empty()) {
            continue;
        }
        const std::string problem = pictureProblem(*rule, std::vector<unsigned char>(contents.begin(), contents.end()));
        if (!problem.empty()) {
            checker.problem(value.line, value.value + " " + problem);
        }
        product.pictures.push_back({rule->builtInName, path});
    }
}

void checkSectionNames(Checker& checker)
{
    for (const DescribedSection& section : checker.description.sections) {
        if (section.name != "product" && section.name != "install" && section.name != "texts" &&
            section.name != "pictures" && !isRowSection(section.name)) {
            checker.problem(section.line, "[" + section.name +
                                              "] is not a section of a product description; "
                                              "the sections are [product], [install], [texts], "
                                              "[pictures] and [row NAME]");
        }
    }
}

const DescribedSection& requiredSection(Checker& checker, const char* name)
{
    static const DescribedSection missing;
    const DescribedSection* section = findSection(checker.description, name);
    if (section == nullptr) {
        checker.problem(1, std::string("the description needs the section [") + name + "]");
        return missing;
    }
    return *section;
}
} // namespace

std::string joinedLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += (i == 0 ? "" : "\r\n") + lines[i];
    }
    return text;
}

std::vector<std::string> checkProduct(const Description& description, CheckedProduct& product)
{
    Checker checker{description, {}};
    checkSectionNames(checker);
    const DescribedSection& productSection = requiredSection(checker, "product");
    const DescribedSection& installSection = requiredSection(checker, "install");
    const DescribedSection& textsSection = requiredSection(checker, "texts");
    if (!checker.problems.empty()) {
        return checker.problems;
    }
    checkProductSection(checker, productSection, product);
    checkInstallSection(checker, installSection, product);
    checkTextsSection(checker, textsSection, product);
    checkRows(checker, product);
    if (const DescribedSection* pictures = findSection(description, "pictures")) {
        checkPictures(checker, *pictures, product);
    }
    return checker.problems;
}
