// The built-in texts of the parameter registry and the command line, registered at static
// construction in English, German, Spanish, French and Brazilian Portuguese.
#include <plat/configurationTexts.h>

namespace plat {

namespace {

// Metavariables in angle brackets are words for the reader and are translated; "%S" and the
// parameter syntax itself are not. French puts a no-break space before a colon.
const BuiltinText Texts[] = {
    {"plat_bad_argument", "Bad argument '%S'.", "Ungültiges Argument '%S'.",
     "Argumento no válido '%S'.", "Argument non valide '%S'.", "Argumento inválido '%S'."},
    {"plat_run_with_help", "Run with -help for usage.",
     "Für Hinweise zur Verwendung mit -help aufrufen.", "Ejecute con -help para ver el uso.",
     "Exécutez avec -help pour afficher l'utilisation.",
     "Execute com -help para ver as instruções de uso."},
    {"plat_missing_argument", "Missing argument to '%S'.", "Fehlendes Argument für '%S'.",
     "Falta el argumento de '%S'.", "Argument manquant pour '%S'.", "Falta o argumento para '%S'."},
    {"plat_configuration_global_params", "Global parameters", "Globale Parameter",
     "Parámetros globales", "Paramètres globaux", "Parâmetros globais"},
    {"plat_configuration_help_default", "default", "Standard", "predeterminado", "défaut",
     "padrão"},
    {"plat_configuration_log_names_title", "Log names:", "Protokollnamen:", "Nombres de registro:",
     "Noms des journaux\u00A0:", "Nomes de log:"},
    {"plat_configuration_log_dests_title", "Log destinations:", "Protokollziele:",
     "Destinos de registro:", "Destinations des journaux\u00A0:", "Destinos de log:"},
    {"plat_configuration_option_usage_only", "Options are parameters.", "Optionen sind Parameter.",
     "Las opciones son parámetros.", "Les options sont des paramètres.",
     "As opções são parâmetros."},
    {"plat_configuration_option_usage_with_extra",
     "Options are parameters, and also the following:",
     "Optionen sind Parameter sowie die folgenden:",
     "Las opciones son parámetros y, además, las siguientes:",
     "Les options sont des paramètres, ainsi que les suivantes\u00A0:",
     "As opções são parâmetros e também as seguintes:"},
    {"plat_configuration_param_usage",
     "Parameters can be turned on with -<param> or off with -<param>=0\n"
     "Values can be specified as -<param> <value>\n"
     "Other valid forms are <param>=<value> -<param>=<value> --<param>=<value>\n"
     "Names are case-insensitive.  Valid parameters are listed below.",
     "Parameter werden mit -<param> eingeschaltet und mit -<param>=0 ausgeschaltet\n"
     "Werte können als -<param> <wert> angegeben werden\n"
     "Weitere gültige Formen sind <param>=<wert> -<param>=<wert> --<param>=<wert>\n"
     "Bei Namen wird die Groß-/Kleinschreibung nicht beachtet.  Die gültigen Parameter sind "
     "unten aufgeführt.",
     "Los parámetros se activan con -<param> y se desactivan con -<param>=0\n"
     "Los valores se pueden indicar como -<param> <valor>\n"
     "Otras formas válidas son <param>=<valor> -<param>=<valor> --<param>=<valor>\n"
     "Los nombres no distinguen entre mayúsculas y minúsculas.  Los parámetros válidos se "
     "enumeran a continuación.",
     "Les paramètres s'activent avec -<param> et se désactivent avec -<param>=0\n"
     "Les valeurs peuvent être indiquées sous la forme -<param> <valeur>\n"
     "Autres formes valides\u00A0: <param>=<valeur> -<param>=<valeur> --<param>=<valeur>\n"
     "Les noms ne tiennent pas compte de la casse.  Les paramètres valides sont indiqués "
     "ci-dessous.",
     "Os parâmetros podem ser ativados com -<param> ou desativados com -<param>=0\n"
     "Os valores podem ser especificados como -<param> <valor>\n"
     "Outras formas válidas são <param>=<valor> -<param>=<valor> --<param>=<valor>\n"
     "Os nomes não diferenciam maiúsculas de minúsculas.  Os parâmetros válidos estão "
     "listados abaixo."},
    {"plat_usage_label", "Usage:", "Verwendung:", "Uso:", "Utilisation\u00A0:", "Uso:"},
    {"plat_usage_help", "Provide [advanced] usage information.",
     "Hinweise zur Verwendung [mit erweiterten Parametern] anzeigen.",
     "Mostrar información de uso [avanzada].",
     "Afficher les informations d'utilisation [avancées].",
     "Exibir informações de uso [avançadas]."},
    {"plat_this_program_not_directly", "This program is not intended to be run directly.",
     "Dieses Programm ist nicht dafür vorgesehen, direkt ausgeführt zu werden.",
     "Este programa no está pensado para ejecutarse directamente.",
     "Ce programme n'est pas destiné à être exécuté directement.",
     "Este programa não deve ser executado diretamente."},
    {"plat_press_return_to_continue", "Press Enter/Return key to continue",
     "Zum Fortfahren die Eingabetaste drücken", "Pulse la tecla Intro para continuar",
     "Appuyez sur la touche Entrée pour continuer", "Pressione a tecla Enter para continuar"},
    {"plat_string_too_long", "String too long", "Zeichenkette zu lang", "Cadena demasiado larga",
     "Chaîne trop longue", "Cadeia de caracteres muito longa"},
    {"plat_param_log", "Record events in the format <log>:<target>:<level>[,...].",
     "Ereignisse im Format <log>:<ziel>:<stufe>[,...] protokollieren.",
     "Registrar eventos con el formato <registro>:<destino>:<nivel>[,...].",
     "Consigner les événements au format <journal>:<cible>:<niveau>[,...].",
     "Registrar eventos no formato <log>:<destino>:<nível>[,...]."},
    {"plat_param_log_keep_days", "Keep log files for X days.",
     "Protokolldateien X Tage lang aufbewahren.",
     "Conservar los archivos de registro durante X días.",
     "Conserver les fichiers journaux pendant X jours.", "Manter os arquivos de log por X dias."},
    {"plat_param_logdir", "Directory in which to store log output directed to file.",
     "Verzeichnis, in dem die in eine Datei geleitete Protokollausgabe gespeichert wird.",
     "Directorio en el que se guarda la salida de registro dirigida a un archivo.",
     "Répertoire où enregistrer la sortie du journal dirigée vers un fichier.",
     "Diretório no qual armazenar a saída de log direcionada para arquivo."},
    {"plat_param_logfile", "File in which to store log output directed to file.",
     "Datei, in der die in eine Datei geleitete Protokollausgabe gespeichert wird.",
     "Archivo en el que se guarda la salida de registro dirigida a un archivo.",
     "Fichier où enregistrer la sortie du journal dirigée vers un fichier.",
     "Arquivo no qual armazenar a saída de log direcionada para arquivo."},
};

} // namespace

const BuiltinTextTable configurationTexts(Texts);

} // namespace plat
