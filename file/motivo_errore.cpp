#include "file/motivo_errore.h"

#include <cerrno>
#include <string>

namespace {

// What a file operation can meet first, in the words a user understands;
// then every other error number of the system, so that no message falls back
// to the system's English.
const char* motivoNoto(int codice) {
    switch (codice) {
    case EPERM:
    case EACCES:
        return "permesso negato";
    case ENOENT:
        return "la cartella non esiste";
    case ENOTDIR:
        return "una parte del percorso non è una cartella";
    case ENOSPC:
        return "spazio esaurito sul disco";
    case EDQUOT:
        return "quota del disco superata";
    case EROFS:
        return "il disco è di sola lettura";
    case EISDIR:
        return "il nome indica una cartella";
    case ENAMETOOLONG:
        return "il nome è troppo lungo";
    case EINVAL:
        return "operazione non ammessa su questo file o dispositivo";
    case EILSEQ:
        return "il nome del file non è valido";
    case EIO:
        return "errore di lettura o scrittura sul dispositivo";
    case EFBIG:
        return "il file supera la dimensione consentita";
    case ELOOP:
        return "troppi collegamenti simbolici nel percorso";
    case ETXTBSY:
        return "il file è in uso da un programma";
    case EBUSY:
        return "il dispositivo o la risorsa è occupata";
    case EEXIST:
        return "il file esiste già";
    case EXDEV:
        return "collegamento tra dispositivi diversi non consentito";
    case EMLINK:
        return "troppi collegamenti";
    case ENFILE:
        return "troppi file aperti nel sistema";
    case EMFILE:
        return "troppi file aperti dal programma";
    case ENOMEM:
        return "memoria insufficiente";
    case EPIPE:
        return "il lettore dei dati si è chiuso";
    case EBADF:
        return "descrittore di file non valido (uscita chiusa?)";
    case EAGAIN:
        return "risorsa temporaneamente non disponibile";
    case EINTR:
        return "operazione interrotta";
    case ENXIO:
        return "dispositivo o indirizzo inesistente";
    case ENODEV:
        return "dispositivo inesistente";
    case ESPIPE:
        return "posizionamento non consentito";
    case ESTALE:
        return "il file remoto non è più valido";
    case EREMOTEIO:
        return "errore di lettura o scrittura remota";
    case ENOMEDIUM:
        return "nessun supporto nel dispositivo";
    case EMEDIUMTYPE:
        return "tipo di supporto errato";
    case ENOTEMPTY:
        return "la cartella non è vuota";
    case EOVERFLOW:
        return "valore troppo grande per il tipo di dati";
    case ENOSYS:
        return "funzione non disponibile nel sistema";
    case EOPNOTSUPP:
        return "operazione non supportata";
    case ENOLCK:
        return "nessun blocco disponibile";
    case ECANCELED:
        return "operazione annullata";
    case ETIMEDOUT:
        return "tempo scaduto";
    case ECONNRESET:
    case ECONNABORTED:
    case ENETRESET:
        return "connessione interrotta";
    case ECONNREFUSED:
        return "connessione rifiutata";
    case ENETDOWN:
    case ENETUNREACH:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENONET:
    case ENOLINK:
    case ECOMM:
        return "rete non raggiungibile";
    case EUCLEAN:
        return "il file system va riparato";
    case ENOTRECOVERABLE:
    case EOWNERDEAD:
        return "stato non recuperabile";
    case EHWPOISON:
        return "errore dell'hardware di memoria";
    case EDEADLK:
        return "evitato uno stallo delle risorse";
    case EPROTO:
    case EBADMSG:
        return "errore di protocollo";
    case ENOBUFS:
        return "memoria di transito esaurita";
    case ERANGE:
        return "risultato fuori dall'intervallo";
    case EDOM:
        return "argomento fuori dal dominio";
    case ENOTTY:
        return "operazione non appropriata per il dispositivo";
    case EBADFD:
        return "descrittore di file danneggiato";
    case ENOKEY:
    case EKEYEXPIRED:
    case EKEYREVOKED:
    case EKEYREJECTED:
        return "chiave di accesso non disponibile o non valida";
    case ENOTSOCK:
    case EDESTADDRREQ:
    case EMSGSIZE:
    case EPROTOTYPE:
    case ENOPROTOOPT:
    case EPROTONOSUPPORT:
    case ESOCKTNOSUPPORT:
    case EPFNOSUPPORT:
    case EAFNOSUPPORT:
    case EADDRINUSE:
    case EADDRNOTAVAIL:
    case EISCONN:
    case ENOTCONN:
    case ESHUTDOWN:
    case ETOOMANYREFS:
    case EALREADY:
    case EINPROGRESS:
    case ENOTUNIQ:
    case EREMCHG:
    case EREMOTE:
    case EMULTIHOP:
    case EDOTDOT:
    case EADV:
    case ESRMNT:
    case ERFKILL:
        return "errore di comunicazione in rete";
    case ENOSTR:
    case ENOSR:
    case ETIME:
    case ENODATA:
    case ENOMSG:
    case EIDRM:
    case ESTRPIPE:
        return "errore di comunicazione tra programmi";
    case EUSERS:
        return "troppi utenti";
    case ELIBACC:
    case ELIBBAD:
    case ELIBSCN:
    case ELIBMAX:
    case ELIBEXEC:
        return "libreria di sistema mancante o danneggiata";
    case ENOPKG:
        return "componente del sistema non installato";
    case ESRCH:
    case ECHILD:
    case E2BIG:
    case ENOEXEC:
    case EFAULT:
    case ENOTBLK:
    case ECHRNG:
    case EL2NSYNC:
    case EL3HLT:
    case EL3RST:
    case ELNRNG:
    case EUNATCH:
    case ENOCSI:
    case EL2HLT:
    case EBADE:
    case EBADR:
    case EXFULL:
    case ENOANO:
    case EBADRQC:
    case EBADSLT:
    case EBFONT:
    case ERESTART:
    case ENOTNAM:
    case ENAVAIL:
    case EISNAM:
        return "errore interno del sistema";
    default:
        return nullptr;
    }
}

} // namespace

std::string motivoErrore(int codice) {
    if (const char* noto = motivoNoto(codice)) {
        return noto;
    }
    return "errore del sistema n. " + std::to_string(codice);
}
