#include "app/modello_tratti.h"

#include "numeri/conversioni.h"
#include "numeri/formato.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <array>
#include <cctype>

using progetto::Casella;
using progetto::RigaTratto;

namespace {

// Each column's title, its unit on a second line, and what it holds.
struct Intestazione {
    const char* titolo;
    const char* spiegazione;
};
const std::array<Intestazione, ModelloTratti::colonneTotali> intestazioni{{
    {"Tratto", "Il nome del tratto"},
    {"Lunghezza\n(m)", "La lunghezza, che con le quote dà la pendenza"},
    {"Pendenza\n(m/m)", "La pendenza; vuota, la danno le quote con la lunghezza"},
    {"Quota monte\n(m)", "La quota di scorrimento a monte"},
    {"Quota valle\n(m)", "La quota di scorrimento a valle"},
    {"Raggio\n(cm)", "Il raggio caratteristico; vuoto, lo sceglie il catalogo"},
    {"Portata\n(l/s)", "La portata di progetto"},
    {"Portata\nminima (l/s)", "La portata di tempo secco, verificata sulla sola velocità minima"},
    {"Legge", "La legge di resistenza del tratto; vuota, quella della linea"},
    {"Coefficiente", "Il coefficiente della legge del tratto"},
    {"r usato\n(cm)", "Il raggio usato: quello dato, o quello scelto dal catalogo"},
    {"h\n(cm)", "L'altezza alla portata di progetto"},
    {"h/H\n(%)", "Il riempimento alla portata di progetto"},
    {"V\n(cm/s)", "La velocità alla portata di progetto"},
    {"h min\n(cm)", "L'altezza alla portata minima"},
    {"V min\n(cm/s)", "La velocità alla portata minima"},
    {"Q piena\n(l/s)", "La portata a sezione piena"},
    {"Esito", "verificato, non verificato o non calcolato"},
    {"Motivo", "Ogni limite non rispettato, con i valori confrontati"},
}};

QString testo(const std::string& s) {
    return QString::fromStdString(s);
}

// The law's name for its key, whatever its case; else the text as typed.
QString testoLegge(const std::string& chiave) {
    std::string minuscola = chiave;
    std::transform(minuscola.begin(), minuscola.end(), minuscola.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (const auto legge = formule::leggeDaChiave(minuscola)) {
        return testo(std::string(formule::nomeLegge(*legge)));
    }
    return testo(chiave);
}

QString testoEsito(const tratti::Esito& e, int colonna) {
    const auto altezza = [](const std::optional<analisi::Risposta>& r) {
        return r ? testo(Format(r->altezza * 100, "0.0")) : QString();
    };
    const auto velocita = [](const std::optional<analisi::Risposta>& r) {
        return r ? testo(Format(r->velocita * 100, "0.00")) : QString();
    };
    switch (colonna) {
    case ModelloTratti::RaggioUsato:
        return testo(CStr(e.raggio)) + (e.dimensionato ? " (scelto)" : "");
    case ModelloTratti::Altezza:
        return altezza(e.progetto);
    case ModelloTratti::Riempimento:
        return e.progetto ? testo(Format(e.progetto->riempimento * 100, "0.0")) : QString();
    case ModelloTratti::Velocita:
        return velocita(e.progetto);
    case ModelloTratti::AltezzaMinima:
        return altezza(e.minima);
    case ModelloTratti::VelocitaMinima:
        return velocita(e.minima);
    case ModelloTratti::PortataPiena:
        return testo(Format(e.portataPiena * 1000, "0.00"));
    case ModelloTratti::Verdetto:
        return e.verdetto();
    default:
        return testo(e.motivo);
    }
}

const QColor coloreNonVerificato(248, 208, 208);
const QColor coloreIlleggibile(240, 128, 128);
const QColor coloreInAttesa(128, 128, 128);

} // namespace

ModelloTratti::ModelloTratti(QObject* parent, CalcoloTratti::Verifica verifica)
    : QAbstractTableModel(parent), calcolo_(std::move(verifica)) {
    connect(&calcolo_, &CalcoloTratti::consegnePronte, this, &ModelloTratti::ritira);
}

int ModelloTratti::rowCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : static_cast<int>(righe_.size());
}

int ModelloTratti::columnCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : colonneTotali;
}

QVariant ModelloTratti::data(const QModelIndex& indice, int ruolo) const {
    if (!indice.isValid()) {
        return {};
    }
    const Riga& riga = righe_[static_cast<std::size_t>(indice.row())];
    const int colonna = indice.column();
    const bool cella = colonna < colonneCelle;
    const bool cellaSbagliata =
        cella && riga.errore && riga.errore->colonna() == tratti::nomiColonne[colonna];
    // No results while the line has no law: an old one would mislead.
    const tratti::Esito* esito =
        riga.tratto && riga.esito && impostazioni_ ? &*riga.esito : nullptr;
    switch (ruolo) {
    case Qt::DisplayRole:
        if (cella) {
            const std::string& t =
                progetto::testoCella(riga.celle, static_cast<std::size_t>(colonna));
            return colonna == tratti::Legge ? testoLegge(t) : testo(t);
        }
        if (riga.errore && colonna == Motivo) {
            return QString("«%1»: %2")
                .arg(testo(riga.errore->colonna()), testo(riga.errore->motivo()));
        }
        return esito != nullptr ? testoEsito(*esito, colonna) : QVariant();
    case Qt::EditRole:
        return cella ? testo(progetto::testoCella(riga.celle, static_cast<std::size_t>(colonna)))
                     : QVariant();
    case Qt::ToolTipRole:
        if (cellaSbagliata) {
            return testo(riga.errore->motivo());
        }
        if ((colonna == Verdetto || colonna == Motivo) && esito != nullptr) {
            return esito->verificato ? QString(esito->verdetto())
                                     : esito->verdetto() + (": " + testo(esito->motivo));
        }
        if (colonna == RaggioUsato && esito != nullptr && esito->dimensionato) {
            return esito->verificato ? QString("Scelto dal catalogo, il raggio del tratto è "
                                               "vuoto: il più piccolo che rispetta tutti i limiti")
                                     : QString("Scelto dal catalogo, il raggio del tratto è "
                                               "vuoto: il più grande, perché nessuno rispetta "
                                               "tutti i limiti");
        }
        return {};
    case Qt::BackgroundRole:
        if (cellaSbagliata) {
            return QBrush(coloreIlleggibile);
        }
        return esito != nullptr && !esito->verificato ? QBrush(coloreNonVerificato) : QVariant();
    case Qt::ForegroundRole:
        // A result of cells or settings since changed, until its own comes.
        return !cella && esito != nullptr && !attuale(riga) ? QBrush(coloreInAttesa) : QVariant();
    case Qt::TextAlignmentRole:
        return colonna == tratti::Nome || colonna == tratti::Legge || colonna >= Verdetto
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ModelloTratti::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (orientamento == Qt::Horizontal && sezione >= 0 && sezione < colonneTotali) {
        if (ruolo == Qt::DisplayRole) {
            return QString(intestazioni[static_cast<std::size_t>(sezione)].titolo);
        }
        if (ruolo == Qt::ToolTipRole) {
            return QString(intestazioni[static_cast<std::size_t>(sezione)].spiegazione);
        }
        // The reason's column is wide: its title stays in sight at its start.
        if (ruolo == Qt::TextAlignmentRole && sezione == Motivo) {
            return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
}

Qt::ItemFlags ModelloTratti::flags(const QModelIndex& indice) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(indice);
    return indice.column() < colonneCelle ? base | Qt::ItemIsEditable : base;
}

bool ModelloTratti::setData(const QModelIndex& indice, const QVariant& valore, int ruolo) {
    if (!indice.isValid() || ruolo != Qt::EditRole || indice.column() >= colonneCelle) {
        return false;
    }
    incolla(indice.row(), indice.column(), {{valore.toString().toStdString()}});
    return true;
}

bool ModelloTratti::insertRows(int riga, int quante, const QModelIndex& genitore) {
    if (genitore.isValid() || riga < 0 || riga > rowCount() || quante <= 0) {
        return false;
    }
    beginInsertRows({}, riga, riga + quante - 1);
    std::vector<Riga> nuove(static_cast<std::size_t>(quante));
    for (Riga& nuova : nuove) {
        nuova.versione = prossimaVersione_++;
    }
    righe_.insert(righe_.begin() + riga, std::make_move_iterator(nuove.begin()),
                  std::make_move_iterator(nuove.end()));
    endInsertRows();
    celleModificate();
    prevediCalcolo();
    return true;
}

bool ModelloTratti::removeRows(int riga, int quante, const QModelIndex& genitore) {
    if (genitore.isValid() || riga < 0 || quante <= 0 || riga + quante > rowCount()) {
        return false;
    }
    beginRemoveRows({}, riga, riga + quante - 1);
    righe_.erase(righe_.begin() + riga, righe_.begin() + riga + quante);
    endRemoveRows();
    celleModificate();
    prevediCalcolo();
    return true;
}

void ModelloTratti::impostaRighe(const std::vector<RigaTratto>& righe) {
    beginResetModel();
    righe_.assign(righe.size(), Riga());
    for (std::size_t i = 0; i < righe.size(); ++i) {
        righe_[i].celle = righe[i];
        leggi(righe_[i], i);
    }
    endResetModel();
    celleModificate();
    prevediCalcolo();
}

std::vector<RigaTratto> ModelloTratti::righe() const {
    std::vector<RigaTratto> celle;
    celle.reserve(righe_.size());
    for (const Riga& riga : righe_) {
        celle.push_back(riga.celle);
    }
    return celle;
}

void ModelloTratti::incolla(int riga, int colonna,
                            const std::vector<std::vector<std::string>>& blocco) {
    if (riga < 0 || colonna < 0 || colonna >= colonneCelle || blocco.empty()) {
        return;
    }
    const int ultima = riga + static_cast<int>(blocco.size()) - 1;
    if (ultima >= rowCount()) {
        beginInsertRows({}, rowCount(), ultima);
        while (static_cast<int>(righe_.size()) <= ultima) {
            righe_.emplace_back().versione = prossimaVersione_++;
        }
        endInsertRows();
    }
    bool cambiato = false;
    for (std::size_t r = 0; r < blocco.size(); ++r) {
        const std::size_t indice = static_cast<std::size_t>(riga) + r;
        Riga& destinazione = righe_[indice];
        const RigaTratto prima = destinazione.celle;
        for (std::size_t c = 0; c < blocco[r].size(); ++c) {
            const std::size_t colonnaCella = static_cast<std::size_t>(colonna) + c;
            if (colonnaCella < tratti::colonne) {
                progetto::scriviCella(destinazione.celle, colonnaCella, blocco[r][c]);
            }
        }
        if (destinazione.celle != prima) {
            leggi(destinazione, indice);
            cambiato = true;
        }
    }
    cambiate(riga, ultima);
    if (cambiato) {
        celleModificate();
        prevediCalcolo();
    }
}

void ModelloTratti::svuota(const QModelIndexList& celle) {
    std::vector<int> toccate;
    for (const QModelIndex& cella : celle) {
        if (!cella.isValid() || cella.column() >= colonneCelle) {
            continue;
        }
        RigaTratto& riga = righe_[static_cast<std::size_t>(cella.row())].celle;
        const auto colonna = static_cast<std::size_t>(cella.column());
        if (!progetto::testoCella(riga, colonna).empty()) {
            progetto::scriviCella(riga, colonna, {});
            toccate.push_back(cella.row());
        }
    }
    if (toccate.empty()) {
        return;
    }
    std::sort(toccate.begin(), toccate.end());
    toccate.erase(std::unique(toccate.begin(), toccate.end()), toccate.end());
    for (const int r : toccate) {
        leggi(righe_[static_cast<std::size_t>(r)], static_cast<std::size_t>(r));
    }
    cambiate(toccate.front(), toccate.back());
    celleModificate();
    prevediCalcolo();
}

void ModelloTratti::leggi(Riga& riga, std::size_t indice) {
    riga.versione = prossimaVersione_++;
    riga.tratto.reset();
    riga.errore.reset();
    if (std::optional<progetto::RigaLetta> letta = progetto::leggiRiga(riga.celle, indice + 1)) {
        riga.tratto = std::move(letta->tratto);
        riga.errore = std::move(letta->errore);
    }
}

bool ModelloTratti::attuale(const Riga& riga) const {
    return riga.versioneEsito == riga.versione && riga.impostazioniEsito == versioneImpostazioni_;
}

void ModelloTratti::celleModificate() {
    ++revisione_;
    emit celleCambiate();
}

void ModelloTratti::cambiate(int prima, int ultima) {
    if (prima <= ultima) {
        emit dataChanged(index(prima, 0), index(ultima, colonneTotali - 1));
    }
}

void ModelloTratti::impostaLinea(std::optional<tratti::Impostazioni> impostazioni) {
    if (impostazioni.has_value() == impostazioni_.has_value() &&
        (!impostazioni || *impostazioni == *impostazioni_)) {
        return;
    }
    impostazioni_ = std::move(impostazioni);
    ++versioneImpostazioni_;
    calcolo_.chiediFermo();
    cambiate(0, rowCount() - 1);
    prevediCalcolo();
}

const std::optional<csv::Errore>& ModelloTratti::errore(int riga) const {
    return righe_[static_cast<std::size_t>(riga)].errore;
}

bool ModelloTratti::inCalcolo() const {
    return impostazioni_ && std::any_of(righe_.begin(), righe_.end(),
                                        [this](const Riga& r) { return r.tratto && !attuale(r); });
}

ModelloTratti::Conteggio ModelloTratti::conteggio() const {
    Conteggio c;
    for (const Riga& riga : righe_) {
        if (riga.errore) {
            ++c.illeggibili;
        } else if (riga.tratto) {
            ++c.tratti;
            if (!impostazioni_ || !attuale(riga)) {
                ++c.inAttesa;
            } else {
                ++(!riga.esito->calcolato   ? c.nonCalcolati
                   : riga.esito->verificato ? c.verificati
                                            : c.nonVerificati);
            }
        }
    }
    return c;
}

// Changes come in bursts (a paste, a row of Delete): the computation starts
// once they are all made, when the event loop comes back.
void ModelloTratti::prevediCalcolo() {
    if (!calcoloPrevisto_) {
        calcoloPrevisto_ = true;
        QMetaObject::invokeMethod(this, &ModelloTratti::avviaCalcolo, Qt::QueuedConnection);
    }
}

void ModelloTratti::avviaCalcolo() {
    if (!calcoloPrevisto_) {
        return;
    }
    calcoloPrevisto_ = false;
    calcolo_.ferma();
    // The results a stopped computation handed over still count where
    // their rows have not changed.
    ritira();
    if (!impostazioni_) {
        forseDimensiona();
        return;
    }
    std::vector<CalcoloTratti::Compito> compiti;
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        if (righe_[i].tratto && !attuale(righe_[i])) {
            compiti.push_back({i, righe_[i].versione, *righe_[i].tratto});
        }
    }
    if (compiti.empty()) {
        forseDimensiona();
        return;
    }
    calcolo_.avvia(std::move(compiti), *impostazioni_, versioneImpostazioni_);
}

void ModelloTratti::ritira() {
    int prima = rowCount();
    int ultima = -1;
    for (CalcoloTratti::Consegna& c : calcolo_.ritira()) {
        if (c.indice >= righe_.size() || c.impostazioni != versioneImpostazioni_) {
            continue;
        }
        Riga& riga = righe_[c.indice];
        if (riga.versione != c.versione) {
            continue;
        }
        riga.esito = std::move(c.esito);
        riga.versioneEsito = c.versione;
        riga.impostazioniEsito = c.impostazioni;
        prima = std::min(prima, static_cast<int>(c.indice));
        ultima = std::max(ultima, static_cast<int>(c.indice));
    }
    if (ultima < 0) {
        return;
    }
    cambiate(prima, ultima);
    emit esitiAggiornati();
    forseDimensiona();
}

// A sizing at the end of the results starts their computation again.
void ModelloTratti::attendiCalcolo() {
    do {
        avviaCalcolo();
        calcolo_.attendi();
        ritira();
    } while (calcoloPrevisto_);
}

void ModelloTratti::dimensiona() {
    if (calcoloPrevisto_ || inCalcolo()) {
        dimensionaAllaFine_ = true;
    } else {
        applicaDimensionamento();
    }
}

// A sizing asked for while results were on their way, once they are all in.
void ModelloTratti::forseDimensiona() {
    if (dimensionaAllaFine_ && !calcoloPrevisto_ && !inCalcolo()) {
        applicaDimensionamento();
    }
}

void ModelloTratti::applicaDimensionamento() {
    dimensionaAllaFine_ = false;
    int scritti = 0;
    int senzaMisura = 0;
    int prima = rowCount();
    int ultima = -1;
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        Riga& riga = righe_[i];
        if (!riga.tratto || riga.tratto->raggio) {
            continue;
        }
        if (!impostazioni_ || !attuale(riga) || !riga.esito->verificato) {
            ++senzaMisura;
            continue;
        }
        riga.celle.raggio = Casella::daTesto(CStr(riga.esito->raggio));
        leggi(riga, i);
        ++scritti;
        prima = std::min(prima, static_cast<int>(i));
        ultima = std::max(ultima, static_cast<int>(i));
    }
    if (scritti > 0) {
        cambiate(prima, ultima);
        celleModificate();
        prevediCalcolo();
    }
    emit dimensionati(scritti, senzaMisura);
}

std::vector<tratti::Tratto> ModelloTratti::trattiLetti() const {
    std::vector<tratti::Tratto> letti;
    for (const Riga& riga : righe_) {
        if (riga.tratto) {
            letti.push_back(*riga.tratto);
        }
    }
    return letti;
}

ModelloTratti::Linea ModelloTratti::linea() {
    attendiCalcolo();
    Linea linea{trattiLetti(), {}};
    if (impostazioni_) {
        for (const Riga& riga : righe_) {
            if (riga.tratto) {
                linea.esiti.push_back(*riga.esito);
            }
        }
    }
    return linea;
}
