// The built-in texts of the edit menu, in English, German, Spanish, French and Brazilian
// Portuguese.
#include <loc/BuiltinTable.h>

namespace tqutil {

namespace {

const loc::BuiltinText Texts[] = {
    {"tqutil_editmenu_copy", "Copy", "Kopieren", "Copiar", "Copier", "Copiar"},
    {"tqutil_editmenu_cut", "Cut", "Ausschneiden", "Cortar", "Couper", "Recortar"},
    {"tqutil_editmenu_paste", "Paste", "Einfügen", "Pegar", "Coller", "Colar"},
    {"tqutil_editmenu_select_all", "Select All", "Alles auswählen", "Seleccionar todo",
     "Tout sélectionner", "Selecionar tudo"},
};

const loc::BuiltinTable table(Texts);

} // namespace

} // namespace tqutil
