// libFuzzer target for the typed-location rules: for any typed text and
// product name, the problem found is the first rule the text breaks, an
// accepted text becomes its canonical form (canonicalFolderPath, tested on its
// own) when that names the product, or the canonical form with the product
// name appended, and the install folder never passes its 256-byte buffer.
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_input.h"
#include "rules/location_rules.h"

namespace {
std::string foldAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    return text;
}

bool hasDriveRoot(const std::string& typed) { return typed.size() >= 3 && typed[1] == ':' && typed[2] == '\\'; }

LocationProblem expectedProblem(const std::string& typed, LocationProblem canonicalProblem,
                                const std::string& canonical, const std::string& composed)
{
    if (typed.empty()) {
        return LOCATION_EMPTY;
    }
    if (!hasDriveRoot(typed)) {
        return LOCATION_NO_DRIVE;
    }
    if (canonicalProblem != LOCATION_ACCEPTED) {
        return canonicalProblem;
    }
    if (canonical.size() == 3) {
        return LOCATION_ROOT_DRIVE;
    }
    return composed.size() < PATH_BUFFER_SIZE ? LOCATION_ACCEPTED : LOCATION_TOO_LONG;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const bool shippedName = input.takeByte() % 2 == 0;
    const std::unique_ptr<char[]> typedText = input.takeText();
    const std::unique_ptr<char[]> fuzzedName = input.takeText();
    const char* productName = shippedName ? "Tidy Kit" : fuzzedName.get();
    const std::string typed = typedText.get();
    const std::string name = productName;

    require(containsProductName(typed.c_str(), productName) ==
                (foldAscii(typed).find(foldAscii(name)) != std::string::npos && !typed.empty()),
            "the product name is found wherever it stands, in any ASCII letter case");
    char canonicalText[TYPED_PATH_CAPACITY] = "";
    const LocationProblem canonicalProblem =
        hasDriveRoot(typed) ? canonicalFolderPath(typed.c_str(), canonicalText, sizeof canonicalText) : LOCATION_EMPTY;
    const std::string canonical = canonicalText;
    const bool namesProduct = foldAscii(canonical).find(foldAscii(name)) != std::string::npos;
    std::string composed = canonical;
    if (!namesProduct) {
        if (composed.empty() || composed.back() != '\\') {
            composed += '\\';
        }
        composed += name;
    }

    auto out = std::make_unique<char[]>(PATH_BUFFER_SIZE);
    const LocationProblem problem = resolveInstallLocation(typedText.get(), productName, out.get());
    require(problem == expectedProblem(typed, canonicalProblem, canonical, composed),
            "the first broken rule is reported");
    require((locationReasonFormat(problem) == nullptr) == (problem == LOCATION_ACCEPTED),
            "every refusal has its warning");
    require(std::memchr(out.get(), '\0', PATH_BUFFER_SIZE) != nullptr, "the install folder fits its buffer");
    require(problem == LOCATION_ACCEPTED ? composed == out.get() : out[0] == '\0',
            "an accepted text is composed, a refused one leaves nothing");
    return 0;
}
