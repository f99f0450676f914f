#include "options/MacroNames.h"

#include <utility>

#include "macros/UnicodeTags.h"

namespace velmora {

std::string StoredName(std::u16string_view shown, std::string_view previous, ICodePage& codePage)
{
    StoredTextAsShown box;
    box.Show(previous, codePage);
    return box.Write(shown, codePage);
}

NameCollation ShownNameCollation(TextCollation collation, ICodePage& codePage)
{
    return [collation = std::move(collation), &codePage](std::string_view a, std::string_view b) {
        return collation(ShowUnicodeTags(a, codePage), ShowUnicodeTags(b, codePage));
    };
}

NameSortKey ShownNameSortKey(TextSortKey sortKey, ICodePage& codePage)
{
    return [sortKey = std::move(sortKey), &codePage](std::string_view name) {
        return sortKey(ShowUnicodeTags(name, codePage));
    };
}

}  // namespace velmora
