#include "app/modello_tratti.h"

#include "app/intestazione_colonna.h"
#include "app/modifica.h"

#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/misure.h"
#include "tratti/parole.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <map>
#include <unordered_set>

using progetto::Casella;
using progetto::RigaTratto;

namespace {

// Each column's title, its unit on a second line, and what it holds.
const std::array<Intestazione, ModelloTratti::colonneTotali> intestazioni{{
    {"Tratto", "Il nome del tratto"},
    {"Pozzetto\nmonte", "Il pozzetto da cui parte il tratto; vuoto, il tratto è a sé"},
    {"Pozzetto\nvalle", "Il pozzetto in cui arriva il tratto"},
    {"Lunghezza\n(m)", "La lunghezza, che con le quote dà la pendenza"},
    {"Pendenza\n(m/m)", "La pendenza; vuota, la danno le quote con la lunghezza"},
    {"Quota monte\n(m)", "La quota di scorrimento a monte"},
    {"Quota valle\n(m)", "La quota di scorrimento a valle"},
    {"Raggio\n(cm)", "Il raggio caratteristico; vuoto, lo sceglie il catalogo"},
    {"Portata\n(l/s)", "La portata di progetto"},
    {"Portata\nminima (l/s)", "La portata di tempo secco, verificata sulla sola velocità minima"},
    {"Legge", "La legge di resistenza del tratto; vuota, quella della linea"},
    {"Coefficiente", "Il coefficiente della legge del tratto"},
    {"Esistente", "«si» per un tratto già costruito: sezione e quote come rilevate, che "
                  "Dimensiona e Calcola quote non cambiano"},
    {"r usato\n(cm)", "Il raggio usato: quello dato, o quello scelto dal catalogo"},
    {"h\n(cm)", "L'altezza alla portata di progetto"},
    {"h/H\n(%)", "Il riempimento alla portata di progetto"},
    {"V\n(cm/s)", "La velocità alla portata di progetto"},
    {"h min\n(cm)", "L'altezza alla portata minima"},
    {"V min\n(cm/s)", "La velocità alla portata minima"},
    {"Q piena\n(l/s)", "La portata a sezione piena"},
    {"Scorr. monte\n(m)", "La quota di scorrimento a monte, data o calcolata dalla rete"},
    {"Scorr. valle\n(m)", "La quota di scorrimento a valle, data o calcolata dalla rete"},
    {"Salto\n(m)", "Il salto più alto al pozzetto di monte del tratto"},
    {"Ricopr.\n(m)", "Il ricoprimento minore sul cielo del tratto, ai suoi estremi"},
    {"i min\n(m/m)", "La pendenza minima con cui il tratto, alla sua sezione, rispetta i limiti"},
    {"i max\n(m/m)", "La pendenza massima con cui il tratto, alla sua sezione, rispetta i limiti"},
    {"Esito", "verificato, verificato con deroga, non verificato o non calcolato"},
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

std::string testoEsito(const tratti::Esito& e, int colonna, Separatore separatore) {
    const auto misura = [&](Misura m, std::optional<double> valore) {
        return valore ? testoMisura(m, *valore, separatore) : std::string();
    };
    const auto altezza = [&](const std::optional<analisi::Risposta>& r) {
        return misura(Misura::Altezza, r ? std::optional(r->altezza) : std::nullopt);
    };
    const auto velocita = [&](const std::optional<analisi::Risposta>& r) {
        return misura(Misura::Velocita, r ? std::optional(r->velocita) : std::nullopt);
    };
    switch (colonna) {
    case ModelloTratti::RaggioUsato:
        return testoMisura(Misura::Raggio, e.raggio, separatore) +
               (e.dimensionato ? " (scelto)" : "");
    case ModelloTratti::Altezza:
        return altezza(e.progetto);
    case ModelloTratti::Riempimento:
        return misura(Misura::Riempimento,
                      e.progetto ? std::optional(e.progetto->riempimento) : std::nullopt);
    case ModelloTratti::Velocita:
        return velocita(e.progetto);
    case ModelloTratti::AltezzaMinima:
        return altezza(e.minima);
    case ModelloTratti::VelocitaMinima:
        return velocita(e.minima);
    case ModelloTratti::PortataPiena:
        return testoMisura(Misura::Portata, e.portataPiena, separatore);
    case ModelloTratti::QuotaMonteUsata:
        return misura(Misura::Quota, e.quotaMonte);
    case ModelloTratti::QuotaValleUsata:
        return misura(Misura::Quota, e.quotaValle);
    case ModelloTratti::Salto:
        return misura(Misura::Dislivello, e.salto);
    case ModelloTratti::Ricoprimento:
        return misura(Misura::Dislivello, e.ricoprimento);
    case ModelloTratti::PendenzaMinima:
        return e.senzaPendenza ? "nessuna" : misura(Misura::Pendenza, e.pendenzaMinima);
    case ModelloTratti::PendenzaMassima:
        return e.senzaPendenza ? "nessuna" : misura(Misura::Pendenza, e.pendenzaMassima);
    case ModelloTratti::Verdetto:
        return e.verdetto();
    default:
        break;
    }
    const std::string motivo = tratti::motivoDi(e, separatore);
    const std::string avvisi = tratti::avvisiDi(e, separatore);
    return avvisi.empty() ? motivo : motivo + (motivo.empty() ? "" : "; ") + "avviso: " + avvisi;
}

const QColor coloreNonVerificato(248, 208, 208);
const QColor coloreConDeroga(250, 236, 196);
const QColor coloreIlleggibile(240, 128, 128);
const QColor coloreInAttesa(128, 128, 128);

} // namespace

ModelloTratti::ModelloTratti(QObject* parent, CalcoloTratti::Verifica verifica)
    : QAbstractTableModel(parent), calcolo_(std::move(verifica)) {
    // A hundred changes back: an import of many reaches keeps them twice.
    annullamenti_.setUndoLimit(100);
    connect(&calcolo_, &CalcoloTratti::consegnaPronta, this, &ModelloTratti::ritira);
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
    const std::optional<csv::Errore>& errore = riga.errore();
    const bool cellaSbagliata =
        cella && errore && errore->colonna() == tratti::nomiColonne[colonna];
    // No results while the line has no settings: an old one would mislead.
    const tratti::Esito* esito =
        riga.tratto() != nullptr && riga.esito && linea_.impostazioni ? &*riga.esito : nullptr;
    switch (ruolo) {
    case Qt::DisplayRole:
        if (cella) {
            return colonna == tratti::Legge
                       ? testoLegge(progetto::testoCella(riga.celle, tratti::Legge))
                       : testoMostrato(riga, colonna);
        }
        if (errore && colonna == Motivo) {
            return QString("«%1»: %2").arg(testo(errore->colonna()), testo(errore->motivo()));
        }
        return esito != nullptr ? testo(testoEsito(*esito, colonna, separatore_)) : QVariant();
    case Qt::EditRole:
        return cella ? testoMostrato(riga, colonna) : QVariant();
    case Qt::ToolTipRole:
        if (cellaSbagliata) {
            return testo(errore->motivo());
        }
        if ((colonna == Verdetto || colonna == Motivo) && esito != nullptr) {
            return esito->verificato
                       ? QString(esito->verdetto())
                       : esito->verdetto() + (": " + testo(tratti::motivoDi(*esito, separatore_)));
        }
        if (colonna == RaggioUsato && esito != nullptr && esito->dimensionato) {
            return esito->verificato
                       ? QString("Scelto dal catalogo, il raggio del tratto è vuoto: il più "
                                 "piccolo, non minore di quelli a monte, che rispetta tutti i "
                                 "limiti")
                       : QString("Scelto dal catalogo, il raggio del tratto è vuoto: nessuno "
                                 "rispetta tutti i limiti, il motivo dice perché");
        }
        return {};
    case Qt::BackgroundRole:
        if (cellaSbagliata) {
            return QBrush(coloreIlleggibile);
        }
        if (esito == nullptr) {
            return {};
        }
        return !esito->verificato ? QBrush(coloreNonVerificato)
               : esito->conDeroga ? QBrush(coloreConDeroga)
                                  : QVariant();
    case Qt::ForegroundRole:
        // A result of cells or settings since changed, until its own comes.
        return !cella && esito != nullptr && !attuale(riga) ? QBrush(coloreInAttesa) : QVariant();
    case Qt::TextAlignmentRole:
        return colonna == tratti::Nome || colonna == tratti::Legge ||
                       colonna == tratti::Esistente || colonna >= Verdetto
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

// A number as the user reads it; the name and the law as typed.
QString ModelloTratti::testoMostrato(const Riga& riga, int colonna) const {
    const auto c = static_cast<std::size_t>(colonna);
    const std::string& t = progetto::testoCella(riga.celle, c);
    return testo(tratti::numerica(c) ? numeroCon(t, separatore_) : t);
}

QVariant ModelloTratti::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (orientamento == Qt::Horizontal) {
        if (QVariant dato = datoIntestazione(intestazioni, sezione, ruolo); dato.isValid()) {
            return dato;
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
    const auto riga = static_cast<std::size_t>(indice.row());
    const auto colonna = static_cast<std::size_t>(indice.column());
    RigaTratto celle = righe_[riga].celle;
    progetto::scriviCella(celle, colonna, valore.toString().toStdString());
    const QuoteCalcolate& calcolate = righe_[riga].calcolate;
    if ((colonna == tratti::Pendenza || colonna == tratti::Lunghezza) &&
        (calcolate[0] || calcolate[1]) && celle != righe_[riga].celle && linea_.impostazioni) {
        riallinea(riga, std::move(celle));
    } else {
        registraCelle("scrittura in una cella", {{riga, std::move(celle)}});
    }
    return true;
}

bool ModelloTratti::insertRows(int riga, int quante, const QModelIndex& genitore) {
    if (genitore.isValid() || riga < 0 || riga > rowCount() || quante <= 0) {
        return false;
    }
    const auto dove = static_cast<std::size_t>(riga);
    const std::vector<RigaTratto> vuote(static_cast<std::size_t>(quante));
    annullamenti_.push(new Modifica(
        quante == 1 ? "aggiungi tratto" : "aggiungi tratti",
        [this, dove, vuote] { inserisci(dove, vuote); },
        [this, dove, quante] { togli(dove, static_cast<std::size_t>(quante)); }));
    return true;
}

bool ModelloTratti::removeRows(int riga, int quante, const QModelIndex& genitore) {
    if (genitore.isValid() || riga < 0 || quante <= 0 || riga + quante > rowCount()) {
        return false;
    }
    const auto dove = static_cast<std::size_t>(riga);
    std::vector<RigaTratto> tolte;
    for (std::size_t i = dove; i < dove + static_cast<std::size_t>(quante); ++i) {
        tolte.push_back(righe_[i].celle);
    }
    annullamenti_.push(new Modifica(
        "elimina tratti", [this, dove, quante] { togli(dove, static_cast<std::size_t>(quante)); },
        [this, dove, tolte = std::move(tolte)] { inserisci(dove, tolte); }));
    return true;
}

void ModelloTratti::elimina(std::vector<int> righe) {
    std::sort(righe.begin(), righe.end());
    righe.erase(std::unique(righe.begin(), righe.end()), righe.end());
    righe.erase(std::remove_if(righe.begin(), righe.end(),
                               [this](int r) { return r < 0 || r >= rowCount(); }),
                righe.end());
    if (righe.empty()) {
        return;
    }
    // From the last, so that each run of rows keeps its place.
    annullamenti_.beginMacro("elimina tratti");
    for (auto fine = righe.rbegin(); fine != righe.rend();) {
        auto inizio = fine;
        while (std::next(inizio) != righe.rend() && *std::next(inizio) == *inizio - 1) {
            ++inizio;
        }
        removeRows(*inizio, *fine - *inizio + 1);
        fine = std::next(inizio);
    }
    annullamenti_.endMacro();
}

void ModelloTratti::impostaRighe(const std::vector<RigaTratto>& righe) {
    annullamenti_.clear();
    sostituisci(righe);
}

void ModelloTratti::importaRighe(std::vector<RigaTratto> righe) {
    annullamenti_.push(new Modifica(
        "importa CSV", [this, righe = std::move(righe)] { sostituisci(righe); },
        [this, prima = this->righe()] { sostituisci(prima); }));
}

std::vector<RigaTratto> ModelloTratti::righe() const {
    std::vector<RigaTratto> celle;
    celle.reserve(righe_.size());
    for (const Riga& riga : righe_) {
        celle.push_back(riga.celle);
    }
    return celle;
}

ModelloTratti::Incollato
ModelloTratti::incolla(int riga, int colonna, const std::vector<std::vector<std::string>>& blocco) {
    Incollato incollato;
    if (riga < 0 || colonna < 0 || colonna >= colonneCelle || blocco.empty()) {
        return incollato;
    }
    CelleDi dopo;
    std::vector<RigaTratto> inCoda;
    for (std::size_t r = 0; r < blocco.size(); ++r) {
        const std::size_t indice = static_cast<std::size_t>(riga) + r;
        const bool esistente = indice < righe_.size();
        RigaTratto celle = esistente ? righe_[indice].celle : RigaTratto();
        for (std::size_t c = 0; c < blocco[r].size(); ++c) {
            const std::size_t colonnaCella = static_cast<std::size_t>(colonna) + c;
            if (colonnaCella >= tratti::colonne) {
                break;
            }
            const std::string prima = progetto::testoCella(celle, colonnaCella);
            progetto::scriviCella(celle, colonnaCella, blocco[r][c]);
            if (esistente && !prima.empty() && progetto::testoCella(celle, colonnaCella) != prima) {
                ++incollato.celleSostituite;
            }
        }
        if (esistente) {
            dopo.emplace_back(indice, std::move(celle));
        } else {
            // Rows between the last and the block's first stay empty.
            inCoda.resize(indice - righe_.size());
            inCoda.push_back(std::move(celle));
        }
    }
    incollato.righeAggiunte = static_cast<int>(inCoda.size());
    registraCelle("incolla", std::move(dopo), std::move(inCoda));
    return incollato;
}

void ModelloTratti::svuota(const QModelIndexList& celle) {
    std::map<std::size_t, RigaTratto> svuotate;
    for (const QModelIndex& cella : celle) {
        if (!cella.isValid() || cella.column() >= colonneCelle) {
            continue;
        }
        const auto r = static_cast<std::size_t>(cella.row());
        const auto colonna = static_cast<std::size_t>(cella.column());
        auto [dove, nuova] = svuotate.try_emplace(r, righe_[r].celle);
        progetto::scriviCella(dove->second, colonna, {});
    }
    registraCelle("svuota le celle", CelleDi(svuotate.begin(), svuotate.end()));
}

void ModelloTratti::impostaSeparatore(Separatore separatore) {
    if (separatore != separatore_) {
        separatore_ = separatore;
        cambiate(0, rowCount() - 1);
    }
}

void ModelloTratti::registraCelle(const QString& nome, CelleDi dopo, std::vector<RigaTratto> inCoda,
                                  const std::map<std::size_t, QuoteCalcolate>& calcolate) {
    StatiDi prima;
    StatiDi cambiate;
    for (auto& [indice, celle] : dopo) {
        const Riga& riga = righe_[indice];
        QuoteCalcolate segni = riga.calcolate;
        if (const auto dati = calcolate.find(indice); dati != calcolate.end()) {
            segni = dati->second;
        } else {
            for (std::size_t q = 0; q < segni.size(); ++q) {
                const std::size_t colonna = q == 0 ? tratti::QuotaMonte : tratti::QuotaValle;
                segni[q] = segni[q] && progetto::testoCella(celle, colonna) ==
                                           progetto::testoCella(riga.celle, colonna);
            }
        }
        if (celle != riga.celle || segni != riga.calcolate) {
            prima.emplace_back(indice, riga.celle, riga.calcolate);
            cambiate.emplace_back(indice, std::move(celle), segni);
        }
    }
    if (cambiate.empty() && inCoda.empty()) {
        return;
    }
    const std::size_t fine = righe_.size();
    const std::size_t aggiunte = inCoda.size();
    annullamenti_.push(new Modifica(
        nome,
        [this, cambiate = std::move(cambiate), inCoda = std::move(inCoda), fine] {
            inserisci(fine, inCoda);
            scriviCelle(cambiate);
        },
        [this, prima = std::move(prima), fine, aggiunte] {
            togli(fine, aggiunte);
            scriviCelle(prima);
        }));
}

void ModelloTratti::scriviCelle(const StatiDi& stati) {
    if (stati.empty()) {
        return;
    }
    int primaRiga = rowCount();
    int ultimaRiga = -1;
    for (const auto& [indice, testi, calcolate] : stati) {
        righe_[indice].celle = testi;
        righe_[indice].calcolate = calcolate;
        leggi(righe_[indice], indice);
        primaRiga = std::min(primaRiga, static_cast<int>(indice));
        ultimaRiga = std::max(ultimaRiga, static_cast<int>(indice));
    }
    cambiate(primaRiga, ultimaRiga);
    celleModificate();
    prevediCalcolo();
}

void ModelloTratti::inserisci(std::size_t dove, const std::vector<RigaTratto>& celle) {
    if (celle.empty()) {
        return;
    }
    beginInsertRows({}, static_cast<int>(dove), static_cast<int>(dove + celle.size()) - 1);
    std::vector<Riga> nuove(celle.size());
    for (std::size_t i = 0; i < celle.size(); ++i) {
        nuove[i].celle = celle[i];
        leggi(nuove[i], dove + i);
    }
    righe_.insert(righe_.begin() + static_cast<std::ptrdiff_t>(dove),
                  std::make_move_iterator(nuove.begin()), std::make_move_iterator(nuove.end()));
    endInsertRows();
    celleModificate();
    prevediCalcolo();
}

void ModelloTratti::togli(std::size_t dove, std::size_t quante) {
    if (quante == 0) {
        return;
    }
    beginRemoveRows({}, static_cast<int>(dove), static_cast<int>(dove + quante) - 1);
    const auto inizio = righe_.begin() + static_cast<std::ptrdiff_t>(dove);
    righe_.erase(inizio, inizio + static_cast<std::ptrdiff_t>(quante));
    endRemoveRows();
    celleModificate();
    prevediCalcolo();
}

void ModelloTratti::sostituisci(const std::vector<RigaTratto>& righe) {
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

void ModelloTratti::leggi(Riga& riga, std::size_t indice) {
    riga.versione = prossimaVersione_++;
    riga.letta = progetto::leggiRiga(riga.celle, indice + 1);
}

const std::optional<csv::Errore>& ModelloTratti::Riga::errore() const {
    static const std::optional<csv::Errore> nessuno;
    return letta ? letta->errore : nessuno;
}

bool ModelloTratti::attuale(const Riga& riga) const {
    return riga.esito && riga.versioneEsito == riga.versione &&
           impostazioniEsiti_ == versioneImpostazioni_;
}

void ModelloTratti::celleModificate() {
    ++revisione_;
    reteCambiata();
    emit celleCambiate();
}

void ModelloTratti::reteCambiata() {
    ++versioneRete_;
    calcolo_.chiediFermo();
}

void ModelloTratti::cambiate(int prima, int ultima) {
    if (prima <= ultima) {
        emit dataChanged(index(prima, 0), index(ultima, colonneTotali - 1));
    }
}

// The results change with the settings alone: a line stopped by another
// box, or the same settings, compute nothing again.
void ModelloTratti::impostaLinea(valutazione::Linea linea) {
    const bool stesse = linea.impostazioni == linea_.impostazioni;
    linea_ = std::move(linea);
    if (stesse) {
        return;
    }
    ++versioneImpostazioni_;
    reteCambiata();
    cambiate(0, rowCount() - 1);
    prevediCalcolo();
}

void ModelloTratti::impostaPozzetti(std::vector<tratti::Pozzetto> pozzetti) {
    if (pozzetti != pozzetti_) {
        pozzetti_ = std::move(pozzetti);
        reteCambiata();
        prevediCalcolo();
    }
}

void ModelloTratti::impostaDeroghe(std::vector<progetto::RigaDeroga> deroghe) {
    if (deroghe != deroghe_) {
        deroghe_ = std::move(deroghe);
        celleModificate();
        prevediCalcolo();
    }
}

void ModelloTratti::deroga(tratti::Voce voce, const std::string& nome, tratti::Controllo controllo,
                           const std::string& motivo) {
    progetto::RigaDeroga nuova;
    (voce == tratti::Voce::Tratto ? nuova.tratto : nuova.pozzetto) = nome;
    nuova.controllo = std::string(tratti::chiaveControllo(controllo));
    nuova.motivo = motivo;
    std::vector<progetto::RigaDeroga> dopo = deroghe_;
    const auto stessa = [&](const progetto::RigaDeroga& d) {
        return d.tratto == nuova.tratto && d.pozzetto == nuova.pozzetto &&
               d.controllo == nuova.controllo;
    };
    const auto dove = std::find_if(dopo.begin(), dopo.end(), stessa);
    const bool togli = !tratti::motivoDato(motivo);
    if (dove == dopo.end()) {
        if (togli) {
            return;
        }
        dopo.push_back(std::move(nuova));
    } else if (togli) {
        dopo.erase(dove);
    } else {
        dove->motivo = motivo;
    }
    cambiaDeroghe(togli ? "deroga tolta" : "deroga", std::move(dopo));
}

void ModelloTratti::cambiaDeroghe(const QString& nome, std::vector<progetto::RigaDeroga> dopo) {
    if (dopo == deroghe_) {
        return;
    }
    annullamenti_.push(new Modifica(
        nome, [this, dopo = std::move(dopo)] { impostaDeroghe(dopo); },
        [this, prima = deroghe_] { impostaDeroghe(prima); }));
}

const std::optional<csv::Errore>& ModelloTratti::errore(int riga) const {
    return righe_[static_cast<std::size_t>(riga)].errore();
}

bool ModelloTratti::inCalcolo() const {
    return linea_.impostazioni && versioneEsiti_ != versioneRete_;
}

ModelloTratti::Conteggio ModelloTratti::conteggio() const {
    Conteggio c;
    for (const Riga& riga : righe_) {
        if (riga.errore()) {
            ++c.illeggibili;
        } else if (riga.tratto() != nullptr) {
            ++c.tratti;
            if (!linea_.impostazioni || !attuale(riga)) {
                ++c.inAttesa;
            } else {
                ++(!riga.esito->calcolato   ? c.nonCalcolati
                   : riga.esito->verificato ? c.verificati
                                            : c.nonVerificati);
                c.conDeroga += riga.esito->verificato && riga.esito->conDeroga ? 1 : 0;
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
    ritira();
    if (!linea_.impostazioni || !inCalcolo()) {
        forseDimensiona();
        return;
    }
    // The reaches and manholes alone: the run needs no cells.
    valutazione::Rete rete;
    corso_.clear();
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        if (const tratti::Tratto* tratto = righe_[i].tratto()) {
            rete.tratti.push_back(*tratto);
            corso_.emplace_back(i, righe_[i].versione);
        }
    }
    rete.pozzetti = pozzetti_;
    rete.deroghe = valutazione::derogheDi(deroghe_);
    impostazioniInCorso_ = versioneImpostazioni_;
    calcolo_.avvia(std::move(rete), linea_, versioneRete_);
}

void ModelloTratti::ritira() {
    std::optional<CalcoloTratti::Consegna> consegna = calcolo_.ritira();
    if (!consegna || consegna->versione != versioneRete_) {
        return;
    }
    for (std::size_t k = 0; k < corso_.size(); ++k) {
        Riga& riga = righe_[corso_[k].first];
        riga.esito = std::move(consegna->rete.esiti[k]);
        riga.versioneEsito = corso_[k].second;
    }
    consegna->rete.esiti.clear();
    rete_ = std::move(consegna->rete);
    derogheApplicate_ = std::move(consegna->deroghe);
    versioneEsiti_ = consegna->versione;
    impostazioniEsiti_ = impostazioniInCorso_;
    cambiate(0, rowCount() - 1);
    emit esitiAggiornati();
    emit reteAggiornata();
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

// A reach no size fits takes the size its result shows, as the command
// line prints it: it stays failing, its reason telling what would mend it.
void ModelloTratti::applicaDimensionamento() {
    dimensionaAllaFine_ = false;
    int nonVerificati = 0;
    int senzaMisura = 0;
    CelleDi dopo;
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        const Riga& riga = righe_[i];
        if (riga.tratto() == nullptr || riga.tratto()->raggio) {
            continue;
        }
        if (!linea_.impostazioni || !attuale(riga) || !riga.esito->calcolato) {
            ++senzaMisura;
            continue;
        }
        nonVerificati += riga.esito->verificato ? 0 : 1;
        RigaTratto& celle = dopo.emplace_back(i, riga.celle).second;
        celle.raggio = Casella::daTesto(CStr(riga.esito->raggio));
    }
    const int scritti = static_cast<int>(dopo.size());
    registraCelle("dimensiona", std::move(dopo));
    emit dimensionati(scritti, nonVerificati, senzaMisura);
}

std::vector<tratti::Tratto> ModelloTratti::trattiLetti() const {
    std::vector<tratti::Tratto> letti;
    for (const Riga& riga : righe_) {
        if (const tratti::Tratto* tratto = riga.tratto()) {
            letti.push_back(*tratto);
        }
    }
    return letti;
}

valutazione::Rete ModelloTratti::reteCalcolata() {
    attendiCalcolo();
    valutazione::Rete rete;
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        const Riga& riga = righe_[i];
        if (!riga.letta) {
            continue;
        }
        // Rows added or removed above it since it was read move its number.
        progetto::RigaLetta& letta = rete.righe.emplace_back(*riga.letta);
        letta.riga = i + 1;
        if (letta.errore) {
            letta.errore = csv::Errore(letta.riga, letta.errore->colonna(), letta.errore->motivo());
        }
        if (letta.tratto) {
            rete.tratti.push_back(*letta.tratto);
            rete.righeDeiTratti.push_back(letta.riga);
        }
    }
    rete.pozzetti = pozzetti_;
    rete.deroghe = valutazione::derogheDi(deroghe_);
    if (linea_.impostazioni) {
        rete.derogheApplicate = derogheApplicate_;
        tratti::EsitiRete& esiti = rete.esiti.emplace(rete_);
        for (const Riga& riga : righe_) {
            if (riga.tratto() != nullptr) {
                esiti.esiti.push_back(*riga.esito);
            }
        }
    }
    return rete;
}

std::vector<std::string> ModelloTratti::pozzettiNominati() const {
    std::vector<std::string> nomi;
    std::unordered_set<std::string> visti;
    for (const Riga& riga : righe_) {
        const tratti::Tratto* tratto = riga.tratto();
        if (tratto == nullptr) {
            continue;
        }
        for (const std::string* nome : {&tratto->pozzettoMonte, &tratto->pozzettoValle}) {
            if (!nome->empty() && visti.insert(*nome).second) {
                nomi.push_back(*nome);
            }
        }
    }
    return nomi;
}

void ModelloTratti::collegaInLinea(std::vector<int> righe) {
    std::sort(righe.begin(), righe.end());
    righe.erase(std::unique(righe.begin(), righe.end()), righe.end());
    std::erase_if(righe, [this](int r) { return r < 0 || r >= rowCount(); });
    if (righe.empty()) {
        return;
    }
    // The names P<n> the other rows use stay theirs: the line starts after
    // the highest.
    int ultimo = 0;
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        if (std::binary_search(righe.begin(), righe.end(), static_cast<int>(i))) {
            continue;
        }
        for (const std::size_t c : {tratti::PozzettoMonte, tratti::PozzettoValle}) {
            const std::string& nome = progetto::testoCella(righe_[i].celle, c);
            if (nome.size() > 1 && nome.size() < 10 && nome[0] == 'P' &&
                std::all_of(nome.begin() + 1, nome.end(),
                            [](unsigned char k) { return std::isdigit(k) != 0; })) {
                ultimo = std::max(ultimo, std::stoi(nome.substr(1)));
            }
        }
    }
    const auto nomePozzetto = [](int numero) {
        std::string nome = "P";
        nome += std::to_string(numero);
        return nome;
    };
    CelleDi dopo;
    for (std::size_t k = 0; k < righe.size(); ++k) {
        const auto indice = static_cast<std::size_t>(righe[k]);
        RigaTratto celle = righe_[indice].celle;
        const int numero = ultimo + 1 + static_cast<int>(k);
        progetto::scriviCella(celle, tratti::PozzettoMonte, nomePozzetto(numero));
        progetto::scriviCella(celle, tratti::PozzettoValle, nomePozzetto(numero + 1));
        dopo.emplace_back(indice, std::move(celle));
    }
    registraCelle("collega in linea", std::move(dopo));
}

// Levels to the millimetre, as a survey gives them.
int ModelloTratti::calcolaQuote() {
    attendiCalcolo();
    CelleDi dopo;
    std::map<std::size_t, QuoteCalcolate> calcolate;
    int scritte = 0;
    for (std::size_t i = 0; i < righe_.size(); ++i) {
        const Riga& riga = righe_[i];
        // An existing reach keeps the levels of its survey.
        if (riga.tratto() == nullptr || riga.tratto()->esistente || !attuale(riga)) {
            continue;
        }
        RigaTratto celle = riga.celle;
        QuoteCalcolate segni = riga.calcolate;
        const std::optional<double> quote[] = {riga.esito->quotaMonte, riga.esito->quotaValle};
        for (std::size_t q = 0; q < segni.size(); ++q) {
            const std::size_t colonna = q == 0 ? tratti::QuotaMonte : tratti::QuotaValle;
            if (quote[q] && progetto::testoCella(celle, colonna).empty()) {
                progetto::scriviCella(celle, colonna, Format(*quote[q], "0.000"));
                segni[q] = true;
                ++scritte;
            }
        }
        if (celle != riga.celle) {
            dopo.emplace_back(i, std::move(celle));
            calcolate.emplace(i, segni);
        }
    }
    registraCelle("calcola quote", std::move(dopo), {}, calcolate);
    return scritte;
}

// Computed here and now, as calcolaQuote computes: the typed cell and the
// levels it moves are one change.
void ModelloTratti::riallinea(std::size_t riga, RigaTratto celle) {
    std::vector<RigaTratto> tutte = righe();
    tutte[riga] = std::move(celle);
    valutazione::Rete rete;
    std::vector<std::size_t> righeDeiTratti;
    for (std::size_t i = 0; i < tutte.size(); ++i) {
        RigaTratto senzaCalcolate = tutte[i];
        for (std::size_t q = 0; q < 2; ++q) {
            if (righe_[i].calcolate[q]) {
                progetto::scriviCella(senzaCalcolate,
                                      q == 0 ? tratti::QuotaMonte : tratti::QuotaValle, {});
            }
        }
        if (const std::optional<progetto::RigaLetta> letta =
                progetto::leggiRiga(senzaCalcolate, i + 1);
            letta && letta->tratto) {
            rete.tratti.push_back(*letta->tratto);
            righeDeiTratti.push_back(i);
        }
    }
    rete.pozzetti = pozzetti_;
    const std::optional<tratti::EsitiRete> esiti = calcolo_.calcolaOra(std::move(rete), linea_);
    for (std::size_t k = 0; esiti && k < righeDeiTratti.size(); ++k) {
        const std::size_t i = righeDeiTratti[k];
        const std::optional<double> quote[] = {esiti->esiti[k].quotaMonte,
                                               esiti->esiti[k].quotaValle};
        for (std::size_t q = 0; q < 2; ++q) {
            // A level the line no longer reaches leaves the cell as it was.
            if (righe_[i].calcolate[q] && quote[q]) {
                progetto::scriviCella(tutte[i], q == 0 ? tratti::QuotaMonte : tratti::QuotaValle,
                                      Format(*quote[q], "0.000"));
            }
        }
    }
    CelleDi dopo;
    std::map<std::size_t, QuoteCalcolate> calcolate;
    for (std::size_t i = 0; i < tutte.size(); ++i) {
        if (tutte[i] != righe_[i].celle) {
            dopo.emplace_back(i, std::move(tutte[i]));
            calcolate.emplace(i, righe_[i].calcolate);
        }
    }
    registraCelle("scrittura in una cella", std::move(dopo), {}, calcolate);
}
