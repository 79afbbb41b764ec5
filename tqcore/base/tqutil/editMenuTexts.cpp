// The built-in texts of the edit menu, in English, German, Spanish, French and Brazilian
// Portuguese.
#include <tqutil/editMenuTexts.h>

namespace tqutil {

namespace {

const plat::BuiltinText Texts[] = {
    {"tqutil_editmenu_copy", "Copy", "Kopieren", "Copiar", "Copier", "Copiar"},
    {"tqutil_editmenu_cut", "Cut", "Ausschneiden", "Cortar", "Couper", "Recortar"},
    {"tqutil_editmenu_paste", "Paste", "Einfügen", "Pegar", "Coller", "Colar"},
    {"tqutil_editmenu_select_all", "Select All", "Alles auswählen", "Seleccionar todo",
     "Tout sélectionner", "Selecionar tudo"},
};

} // namespace

const plat::BuiltinTextTable editMenuTexts(Texts);

} // namespace tqutil
