// The built-in texts of the message box buttons, in English, German, Spanish, French and
// Brazilian Portuguese.
#include <tx/msgBoxTexts.h>

namespace tx {

namespace {

// "OK" is the usual button label in German, French and Portuguese as well, and Spanish says "No".
const plat::BuiltinText Texts[] = {
    {"tx_msgbox_ok", "OK", "OK", "Aceptar", "OK", "OK"},
    {"tx_msgbox_cancel", "Cancel", "Abbrechen", "Cancelar", "Annuler", "Cancelar"},
    {"tx_msgbox_yes", "Yes", "Ja", "Sí", "Oui", "Sim"},
    {"tx_msgbox_no", "No", "Nein", "No", "Non", "Não"},
};

} // namespace

const plat::BuiltinTextTable msgBoxTexts(Texts);

} // namespace tx
