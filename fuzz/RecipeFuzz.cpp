// libFuzzer target: a recipe is refused with its file and line, or accepted
// with a whole recipe whose canonical text and hash are its own.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "recipe/Recipe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessra::recipe;
    using tessra::fuzz::check;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RecipeResult result = parseRecipe(text, QStringLiteral("fuzz.recipe"));
    check(result.recipe.has_value() == result.error.isEmpty(),
          "refused exactly when it has an error");
    if (!result.recipe) {
        check(result.error.startsWith(QStringLiteral("fuzz.recipe")), "a refusal names the file");
        check(result.error.size() < 600, "a refusal stays short");
        return 0;
    }
    const Recipe& r = *result.recipe;
    check(!r.name.isEmpty(), "an accepted recipe has a name");
    check(r.customerCode >= 1 && r.customerCode <= 255, "the customer code is in range");
    check(r.macRange.first <= r.macRange.last, "the range runs forwards");
    check(r.hash.size() == 64, "the hash is SHA-256 in hex");
    check(canonicalRecipe(r) == r.canonical, "the canonical text is the recipe's own");
    return 0;
}
