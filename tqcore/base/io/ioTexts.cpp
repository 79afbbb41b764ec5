// The built-in texts of the network layer (name resolution, endpoints, connections and their
// parameters), in English, German, Spanish, French and Brazilian Portuguese.
#include <io/ioTexts.h>

namespace io {

namespace {

// "%%" is a literal percent sign, as these texts pass through the formatter. French puts a
// no-break space before a colon.
const plat::BuiltinText Texts[] = {
    {"io_dscp_param", "Value to classify network traffic to provide Quality of Service.",
     "Wert, mit dem der Netzwerkverkehr klassifiziert wird, um Dienstgüte (Quality of Service) "
     "bereitzustellen.",
     "Valor para clasificar el tráfico de red y proporcionar calidad de servicio.",
     "Valeur de classification du trafic réseau pour assurer la qualité de service.",
     "Valor para classificar o tráfego de rede e fornecer qualidade de serviço."},
    {"io_error_eai_again", "Temporary name lookup failure",
     "Vorübergehender Fehler bei der Namensauflösung", "Error temporal en la resolución de nombres",
     "Échec temporaire de la résolution de noms", "Falha temporária na resolução de nomes"},
    {"io_error_eai_nodata", "The requested name does not have an IP address",
     "Der angeforderte Name hat keine IP-Adresse",
     "El nombre solicitado no tiene ninguna dirección IP", "Le nom demandé n'a pas d'adresse IP",
     "O nome solicitado não tem um endereço IP"},
    {"io_error_eai_noname", "No such host is known", "Dieser Host ist nicht bekannt",
     "No se conoce ese host", "Hôte inconnu", "Host desconhecido"},
    {"io_error_endpoint_badescape", "Invalid endpoint: incorrect %% escape",
     "Ungültiger Endpunkt: fehlerhafte %%-Maskierung",
     "Punto final no válido: secuencia de escape %% incorrecta",
     "Point de terminaison non valide\u00A0: échappement %% incorrect",
     "Ponto de extremidade inválido: escape %% incorreto"},
    {"io_error_endpoint_badport", "Invalid endpoint: port not correctly specified",
     "Ungültiger Endpunkt: Port nicht korrekt angegeben",
     "Punto final no válido: el puerto no se ha especificado correctamente",
     "Point de terminaison non valide\u00A0: port mal spécifié",
     "Ponto de extremidade inválido: porta não especificada corretamente"},
    {"io_error_endpoint_bracket", "Invalid endpoint: unmatched \"[\" in host",
     "Ungültiger Endpunkt: \"[\" ohne Gegenstück im Host",
     "Punto final no válido: \"[\" sin cerrar en el host",
     "Point de terminaison non valide\u00A0: \"[\" sans correspondance dans l'hôte",
     "Ponto de extremidade inválido: \"[\" sem correspondência no host"},
    {"io_error_endpoint_empty", "Invalid endpoint: empty host and/or port",
     "Ungültiger Endpunkt: Host und/oder Port leer", "Punto final no válido: host o puerto vacíos",
     "Point de terminaison non valide\u00A0: hôte et/ou port vide",
     "Ponto de extremidade inválido: host e/ou porta vazios"},
    {"io_error_endpoint_general", "Invalid endpoint", "Ungültiger Endpunkt",
     "Punto final no válido", "Point de terminaison non valide", "Ponto de extremidade inválido"},
    {"io_error_ip_nethostunreach", "No route to the host is known",
     "Es ist keine Route zum Host bekannt", "No se conoce ninguna ruta al host",
     "Aucun itinéraire vers l'hôte n'est connu", "Nenhuma rota para o host é conhecida"},
    {"io_error_proxy_disconnected", "disconnected by proxy", "vom Proxy getrennt",
     "desconectado por el proxy", "déconnecté par le proxy", "desconectado pelo proxy"},
    {"io_error_proxy_general", "Unable to connect via %1$S: %2$S",
     "Verbindung über %1$S nicht möglich: %2$S", "No se puede conectar a través de %1$S: %2$S",
     "Impossible de se connecter via %1$S\u00A0: %2$S", "Não é possível conectar via %1$S: %2$S"},
    {"io_error_tcp_conndropped", "The connection was refused during establishment",
     "Die Verbindung wurde beim Aufbau abgelehnt",
     "La conexión se rechazó durante el establecimiento",
     "La connexion a été refusée lors de son établissement",
     "A conexão foi recusada durante o estabelecimento"},
    {"io_error_tcp_connrefused", "The connection was refused by the computer",
     "Die Verbindung wurde vom Computer abgelehnt", "El equipo rechazó la conexión",
     "La connexion a été refusée par l'ordinateur", "A conexão foi recusada pelo computador"},
    {"io_error_tcp_connreset", "The connection was closed remotely",
     "Die Verbindung wurde von der Gegenseite geschlossen", "La conexión se cerró de forma remota",
     "La connexion a été fermée à distance", "A conexão foi fechada remotamente"},
    {"io_error_tcp_timedout", "Timed out waiting for a response from the computer",
     "Zeitüberschreitung beim Warten auf eine Antwort des Computers",
     "Se agotó el tiempo de espera de una respuesta del equipo",
     "Délai dépassé en attendant une réponse de l'ordinateur",
     "Tempo esgotado aguardando uma resposta do computador"},
    {"io_param_blacklist_threshold",
     "The number of unsuccessful authentication attempts that can be made before a particular "
     "connecting device is blacklisted for a timeout period.",
     "Die Anzahl erfolgloser Authentifizierungsversuche, die zulässig sind, bevor ein "
     "bestimmtes sich verbindendes Gerät für eine Sperrfrist auf die schwarze Liste gesetzt "
     "wird.",
     "El número de intentos de autenticación fallidos que se permiten antes de que un "
     "dispositivo concreto que se conecta se incluya en la lista negra durante un período de "
     "bloqueo.",
     "Le nombre de tentatives d'authentification infructueuses autorisées avant qu'un appareil "
     "qui se connecte soit placé sur liste noire pendant une période de blocage.",
     "O número de tentativas de autenticação malsucedidas permitidas antes que um determinado "
     "dispositivo que se conecta seja colocado na lista negra por um período de bloqueio."},
    {"io_param_blacklist_timeout",
     "The initial number of seconds during which connections from a blacklisted device are "
     "rejected before the connecting user can attempt to authenticate again.",
     "Die anfängliche Anzahl von Sekunden, während der Verbindungen von einem Gerät auf der "
     "schwarzen Liste abgelehnt werden, bevor der Benutzer erneut versuchen kann, sich zu "
     "authentifizieren.",
     "El número inicial de segundos durante los que se rechazan las conexiones de un "
     "dispositivo de la lista negra antes de que el usuario pueda volver a intentar "
     "autenticarse.",
     "Le nombre initial de secondes pendant lesquelles les connexions d'un appareil sur liste "
     "noire sont refusées avant que l'utilisateur puisse tenter de s'authentifier à nouveau.",
     "O número inicial de segundos durante os quais as conexões de um dispositivo na lista negra "
     "são rejeitadas antes que o usuário possa tentar se autenticar novamente."},
    {"io_proxy_connection_desc", "Direct TCP via proxy settings",
     "Direktes TCP über Proxy-Einstellungen", "TCP directo mediante la configuración de proxy",
     "TCP direct via les paramètres de proxy", "TCP direto pelas configurações de proxy"},
    {"io_socks5_connection_type", "Direct TCP via SOCKS5 proxy %S",
     "Direktes TCP über SOCKS5-Proxy %S", "TCP directo mediante el proxy SOCKS5 %S",
     "TCP direct via le proxy SOCKS5 %S", "TCP direto pelo proxy SOCKS5 %S"},
    {"io_tcp_connection_type", "Direct TCP", "Direktes TCP", "TCP directo", "TCP direct",
     "TCP direto"},
    {"io_udp_connection_type", "Direct UDP", "Direktes UDP", "UDP directo", "UDP direct",
     "UDP direto"},
};

} // namespace

const plat::BuiltinTextTable ioTexts(Texts);

} // namespace io
