#include "app/modello_pozzetti.h"

#include "app/intestazione_colonna.h"
#include "app/modifica.h"
#include "file/caratteri_ammessi.h"
#include "numeri/conversioni.h"
#include "numeri/formato.h"
#include "numeri/misure.h"
#include "progetto/righe_tratti.h"
#include "tratti/parole.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_set>

using progetto::RigaPozzetto;

namespace {

const std::array<Intestazione, ModelloPozzetti::colonne> intestazioni{{
    {"Pozzetto", "Il nome, come lo danno i tratti"},
    {"Terreno\n(m)", "La quota del terreno, per il ricoprimento e lo scavo"},
    {"Nota", "Una nota libera"},
    {"Allineamento", "La regola del tratto che ne esce: cieli, pelo, fondo, o nessuna per un "
                     "innesto fissato dal rilievo; vuota, quella della linea"},
    {"Scorrimento\n(m)",
     "La quota di scorrimento del tratto che ne esce; allo sbocco, la più bassa "
     "che vi arriva"},
    {"Salto\n(m)", "Il salto più alto tra i tratti che arrivano e quello che esce"},
    {"Stato", "Sbocco, non usato, o l'errore della rete che lo riguarda"},
}};

const QColor coloreErrore(248, 208, 208);
const QColor coloreConDeroga(250, 236, 196);

QString testo(const std::string& s) {
    return QString::fromStdString(s);
}

// Why a listed manhole's cell cannot be used, or none: a ground level that
// is not a number, a name or a note with a character they may not hold.
std::optional<std::string> motivoCella(const RigaPozzetto& riga, int colonna) {
    switch (colonna) {
    case ModelloPozzetti::Nome:
        return caratteriNonAmmessi(riga.pozzetto);
    case ModelloPozzetti::Terreno:
        return progetto::quotaTerrenoDi(riga).motivo;
    case ModelloPozzetti::Nota:
        return caratteriNonAmmessi(riga.nota);
    case ModelloPozzetti::Allineamento:
        if (const std::string_view regola = csv::senzaSpazi(riga.allineamento);
            !regola.empty() && !tratti::allineamentoPozzettoDaNome(regola)) {
            return std::string("le regole sono cieli, pelo, fondo e nessuna; vuota, quella della "
                               "linea");
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

} // namespace

ModelloPozzetti::ModelloPozzetti(ModelloTratti* tratti, QObject* parent)
    : QAbstractTableModel(parent), tratti_(tratti) {
    connect(tratti_, &ModelloTratti::celleCambiate, this, &ModelloPozzetti::aggiornaNominati);
    connect(tratti_, &ModelloTratti::reteAggiornata, this, &ModelloPozzetti::aggiornaEsiti);
    aggiornaNominati();
}

int ModelloPozzetti::rowCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : static_cast<int>(elencati_.size() + soloNominati_.size());
}

int ModelloPozzetti::columnCount(const QModelIndex& genitore) const {
    return genitore.isValid() ? 0 : colonne;
}

std::string ModelloPozzetti::nomeDi(int riga) const {
    const auto r = static_cast<std::size_t>(riga);
    return r < elencati_.size() ? elencati_[r].pozzetto : soloNominati_[r - elencati_.size()];
}

const tratti::EsitoPozzetto* ModelloPozzetti::esitoDi(const std::string& nome) const {
    const auto trovato = esiti_.find(nome);
    return trovato != esiti_.end() ? &tratti_->rete().pozzetti[trovato->second] : nullptr;
}

QVariant ModelloPozzetti::data(const QModelIndex& indice, int ruolo) const {
    if (!indice.isValid()) {
        return {};
    }
    const auto r = static_cast<std::size_t>(indice.row());
    const RigaPozzetto* elencato = r < elencati_.size() ? &elencati_[r] : nullptr;
    const std::string nome = nomeDi(indice.row());
    const tratti::EsitoPozzetto* esito = esitoDi(nome);
    const bool fallito = esito != nullptr && !esito->verificato();
    const std::optional<std::string> sbagliata =
        elencato != nullptr ? motivoCella(*elencato, indice.column()) : std::nullopt;
    const auto misura = [this](Misura m, std::optional<double> valore) {
        return valore ? testo(testoMisura(m, *valore, separatore_)) : QString();
    };
    switch (ruolo) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (indice.column()) {
        case Nome:
            return testo(nome);
        case Terreno:
            return elencato != nullptr ? testo(numeroCon(elencato->quotaTerreno.testo, separatore_))
                                       : QString();
        case Nota:
            return elencato != nullptr ? testo(elencato->nota) : QString();
        case Allineamento:
            return elencato != nullptr ? testo(elencato->allineamento) : QString();
        case Scorrimento:
            return misura(Misura::Quota, esito != nullptr ? esito->quotaFondo : std::nullopt);
        case Salto:
            return misura(Misura::Dislivello, esito != nullptr ? esito->salto : std::nullopt);
        default:
            return esito != nullptr ? testo(stato(*esito)) : QVariant();
        }
    case Qt::ToolTipRole:
        if (sbagliata) {
            return testo(*sbagliata);
        }
        return indice.column() == Stato && esito != nullptr && !esito->rilievi.empty()
                   ? testo(stato(*esito))
                   : QVariant();
    case Qt::BackgroundRole:
        if (sbagliata || fallito) {
            return QBrush(coloreErrore);
        }
        if (esito != nullptr && esito->conDeroga()) {
            return QBrush(coloreConDeroga);
        }
        return {};
    case Qt::TextAlignmentRole:
        return indice.column() == Nome || indice.column() == Nota ||
                       indice.column() == Allineamento || indice.column() == Stato
                   ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ModelloPozzetti::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (orientamento == Qt::Horizontal) {
        if (QVariant dato = datoIntestazione(intestazioni, sezione, ruolo); dato.isValid()) {
            return dato;
        }
    }
    return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
}

Qt::ItemFlags ModelloPozzetti::flags(const QModelIndex& indice) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(indice);
    return indice.column() == Terreno || indice.column() == Nota || indice.column() == Allineamento
               ? base | Qt::ItemIsEditable
               : base;
}

// A manhole only named becomes listed when it is given a level or a note.
bool ModelloPozzetti::setData(const QModelIndex& indice, const QVariant& valore, int ruolo) {
    if (!indice.isValid() || ruolo != Qt::EditRole ||
        (indice.column() != Terreno && indice.column() != Nota &&
         indice.column() != Allineamento)) {
        return false;
    }
    std::vector<RigaPozzetto> dopo = elencati_;
    const auto r = static_cast<std::size_t>(indice.row());
    if (r >= elencati_.size()) {
        dopo.push_back({nomeDi(indice.row()), {}, {}, {}});
    }
    RigaPozzetto& riga = r < elencati_.size() ? dopo[r] : dopo.back();
    std::string scritto = valore.toString().toStdString();
    if (indice.column() == Terreno) {
        std::replace(scritto.begin(), scritto.end(), ',', '.');
        riga.quotaTerreno = progetto::Casella::daTesto(std::move(scritto));
    } else if (indice.column() == Nota) {
        riga.nota = std::move(scritto);
    } else {
        riga.allineamento = std::move(scritto);
    }
    cambiaElencati("scrittura in un pozzetto", std::move(dopo));
    return true;
}

void ModelloPozzetti::impostaRighe(std::vector<RigaPozzetto> righe) {
    scriviElencati(righe);
}

std::vector<RigaPozzetto> ModelloPozzetti::righe() const {
    std::vector<RigaPozzetto> tutte = elencati_;
    for (const std::string& nome : soloNominati_) {
        tutte.push_back({nome, {}, {}, {}});
    }
    return tutte;
}

void ModelloPozzetti::importaTerreni(const std::vector<tratti::Pozzetto>& pozzetti) {
    std::vector<RigaPozzetto> dopo = elencati_;
    for (const tratti::Pozzetto& p : pozzetti) {
        auto dove = std::find_if(dopo.begin(), dopo.end(),
                                 [&](const RigaPozzetto& r) { return r.pozzetto == p.nome; });
        if (dove == dopo.end()) {
            dove = dopo.insert(dopo.end(), {p.nome, {}, {}, {}});
        }
        if (p.quotaTerreno) {
            dove->quotaTerreno = progetto::Casella::daTesto(CStr(*p.quotaTerreno));
        }
    }
    cambiaElencati("importa CSV", std::move(dopo));
}

void ModelloPozzetti::elimina(const std::vector<int>& righe) {
    std::vector<RigaPozzetto> dopo;
    for (std::size_t i = 0; i < elencati_.size(); ++i) {
        if (std::find(righe.begin(), righe.end(), static_cast<int>(i)) == righe.end()) {
            dopo.push_back(elencati_[i]);
        }
    }
    cambiaElencati("elimina pozzetti", std::move(dopo));
}

void ModelloPozzetti::cambiaElencati(const QString& nome, std::vector<RigaPozzetto> dopo) {
    if (dopo == elencati_) {
        return;
    }
    tratti_->annullamenti()->push(new Modifica(
        nome, [this, dopo = std::move(dopo)] { scriviElencati(dopo); },
        [this, prima = elencati_] { scriviElencati(prima); }));
}

void ModelloPozzetti::scriviElencati(const std::vector<RigaPozzetto>& elencati) {
    beginResetModel();
    elencati_ = elencati;
    endResetModel();
    ++revisione_;
    aggiornaNominati();
    tratti_->impostaPozzetti(progetto::pozzettiDi(righe()));
}

void ModelloPozzetti::aggiornaNominati() {
    std::unordered_set<std::string> elencati;
    for (const RigaPozzetto& r : elencati_) {
        elencati.insert(r.pozzetto);
    }
    std::vector<std::string> soloNominati;
    for (std::string& nome : tratti_->pozzettiNominati()) {
        if (elencati.count(nome) == 0) {
            soloNominati.push_back(std::move(nome));
        }
    }
    if (soloNominati == soloNominati_) {
        return;
    }
    // The listed rows keep their place; those after them follow the reaches.
    const int primo = static_cast<int>(elencati_.size());
    if (!soloNominati_.empty()) {
        beginRemoveRows({}, primo, primo + static_cast<int>(soloNominati_.size()) - 1);
        soloNominati_.clear();
        endRemoveRows();
    }
    if (!soloNominati.empty()) {
        beginInsertRows({}, primo, primo + static_cast<int>(soloNominati.size()) - 1);
        soloNominati_ = std::move(soloNominati);
        endInsertRows();
    }
    tratti_->impostaPozzetti(progetto::pozzettiDi(righe()));
}

void ModelloPozzetti::aggiornaEsiti() {
    const tratti::EsitiRete& rete = tratti_->rete();
    esiti_.clear();
    for (std::size_t i = 0; i < rete.pozzetti.size(); ++i) {
        esiti_.emplace(rete.pozzetti[i].nome, i);
    }
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, colonne - 1));
    }
}

// What the checks found at the manhole, its faults first; an outlet or a
// drop manhole where nothing else is said.
std::string ModelloPozzetti::stato(const tratti::EsitoPozzetto& esito) const {
    std::string difetti, provvedimenti, deroghe;
    for (const tratti::Rilievo& r : esito.rilievi) {
        std::string& dove = r.gravita() == tratti::Gravita::Difetto  ? difetti
                            : r.gravita() == tratti::Gravita::Deroga ? deroghe
                                                                     : provvedimenti;
        dove += (dove.empty() ? "" : "; ") +
                tratti::testoRilievo(r, separatore_, tratti::Voce::Pozzetto);
    }
    if (!provvedimenti.empty()) {
        provvedimenti = (difetti.empty() ? "pozzetto di salto: " : "") + provvedimenti;
    }
    std::string stato = difetti;
    for (const std::string* parte : {&provvedimenti, &deroghe}) {
        if (!parte->empty()) {
            stato += (stato.empty() ? "" : "; ") + *parte;
        }
    }
    return !stato.empty() ? stato : esito.sbocco ? "sbocco" : "";
}

int ModelloPozzetti::conSalto() const {
    const auto& pozzetti = tratti_->rete().pozzetti;
    return static_cast<int>(std::count_if(pozzetti.begin(), pozzetti.end(), [](const auto& p) {
        return p.salto && *p.salto > 0.001;
    }));
}

void ModelloPozzetti::impostaSeparatore(Separatore separatore) {
    if (separatore != separatore_) {
        separatore_ = separatore;
        if (rowCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, colonne - 1));
        }
    }
}
