// The built-in texts of the operating-system services (elevation, terminal titles, the syslog
// destination, connection types), in English, German, Spanish, French and Brazilian Portuguese.
#include <os/osTexts.h>

namespace os {

namespace {

// "su" or "sudo" fills %2$S; facility names are the syslog's own and stay untranslated.
const plat::BuiltinText Texts[] = {
    {"os_launchprocess_title_fmt", "%1$S - %2$S password required",
     "%1$S - %2$S-Passwort erforderlich", "%1$S - se requiere la contraseña de %2$S",
     "%1$S - mot de passe %2$S requis", "%1$S - senha do %2$S necessária"},
    {"os_launchwithpipe_elevate_cancelled", "Elevation cancelled or not supported.",
     "Rechteerhöhung abgebrochen oder nicht unterstützt.", "Elevación cancelada o no admitida.",
     "Élévation annulée ou non prise en charge.", "Elevação cancelada ou não suportada."},
    {"os_launchwithpipe_elevate_not_admin", "Account not valid for elevation.",
     "Das Konto ist für die Rechteerhöhung nicht zulässig.",
     "La cuenta no es válida para la elevación.", "Compte non valide pour l'élévation.",
     "Conta não válida para elevação."},
    {"os_logdestsyslog_facilityparam",
     "Facility for the 'syslog' log destination to use, as an integer or name. Supported names: "
     "user, daemon, auth, authpriv (if available), security (if available), local0..local7",
     "Für das Protokollziel 'syslog' zu verwendende Facility, als Zahl oder Name. Unterstützte "
     "Namen: user, daemon, auth, authpriv (falls verfügbar), security (falls verfügbar), "
     "local0..local7",
     "Facility que usará el destino de registro 'syslog', como número entero o nombre. Nombres "
     "admitidos: user, daemon, auth, authpriv (si está disponible), security (si está "
     "disponible), local0..local7",
     "Facility à utiliser pour la destination de journal 'syslog', sous forme d'entier ou de "
     "nom. Noms pris en charge\u00A0: user, daemon, auth, authpriv (si disponible), security (si "
     "disponible), local0..local7",
     "Facility a ser usada pelo destino de log 'syslog', como número inteiro ou nome. Nomes "
     "suportados: user, daemon, auth, authpriv (se disponível), security (se disponível), "
     "local0..local7"},
    {"os_websocket_connection_type", "Direct WebSocket", "Direkter WebSocket", "WebSocket directo",
     "WebSocket direct", "WebSocket direto"},
};

} // namespace

const plat::BuiltinTextTable osTexts(Texts);

} // namespace os
