#pragma once

// Macro names are stored like macro texts (the code page, {"U+XXXX"} tags
// for the rest, so the data file stays compatible) and shown in Unicode, as
// ShowUnicodeTags gives them.
// Every window that shows a name, and every order and comparison of names,
// goes by the shown form: two stored spellings of one name are one name.

#include <functional>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/Collation.h"

namespace velmora {

// The name field's text as stored. While it still shows as `previous` (the
// name it was loaded from), `previous` is kept byte for byte, whatever its
// spelling; a name the user did change is stored afresh.
std::string StoredName(std::u16string_view shown, std::string_view previous, ICodePage& codePage);

// Orders stored names by `collation` over their shown forms.
NameCollation ShownNameCollation(TextCollation collation, ICodePage& codePage);

// A key whose byte order is a collation's order, so that sorting many names
// costs one key each rather than a comparison's work at every step.
using TextSortKey = std::function<std::string(std::u16string_view)>;
using NameSortKey = std::function<std::string(std::string_view)>;
NameSortKey ShownNameSortKey(TextSortKey sortKey, ICodePage& codePage);

}  // namespace velmora
