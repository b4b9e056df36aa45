#pragma once

#include "app/modello_tratti.h"
#include "progetto/progetto.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The manholes of "Verifica dei tratti": those listed (a project's, or one
// given a ground level or a note here), then every other the reaches name,
// added as the names are typed; the network is computed with them all, as
// a project keeps them. Beside each, what the network computed at
// it; one no reach names, or with a fault of the network, is shown in red
// with the reason. Its changes go on the reaches' undo stack.
class ModelloPozzetti : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Colonna : int { Nome, Terreno, Nota, Allineamento, Scorrimento, Salto, Stato, colonne };

    explicit ModelloPozzetti(ModelloTratti* tratti, QObject* parent = nullptr);

    int rowCount(const QModelIndex& genitore = {}) const override;
    int columnCount(const QModelIndex& genitore = {}) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;
    QVariant headerData(int sezione, Qt::Orientation orientamento,
                        int ruolo = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;
    bool setData(const QModelIndex& indice, const QVariant& valore,
                 int ruolo = Qt::EditRole) override;

    // The listed manholes, as a project keeps them: a project opened, and
    // what a save writes (those only named by the reaches too).
    void impostaRighe(std::vector<progetto::RigaPozzetto> righe);
    std::vector<progetto::RigaPozzetto> righe() const;
    // Ground levels from a file of reaches, over those listed.
    void importaTerreni(const std::vector<tratti::Pozzetto>& pozzetti);
    // Removes the listed manholes of these rows (those only named stay):
    // undone as one change.
    void elimina(const std::vector<int>& righe);

    // Counts the changes, as the reaches' revisione.
    std::uint64_t revisione() const { return revisione_; }
    // Manholes with a drop, in the network's last results.
    int conSalto() const;

    void impostaSeparatore(Separatore separatore);

  private:
    void cambiaElencati(const QString& nome, std::vector<progetto::RigaPozzetto> dopo);
    void scriviElencati(const std::vector<progetto::RigaPozzetto>& elencati);
    void aggiornaNominati();
    void aggiornaEsiti();
    const tratti::EsitoPozzetto* esitoDi(const std::string& nome) const;
    std::string stato(const tratti::EsitoPozzetto& esito) const;
    std::string nomeDi(int riga) const;

    ModelloTratti* tratti_;
    std::vector<progetto::RigaPozzetto> elencati_;
    std::vector<std::string> soloNominati_;    // named by the reaches, not listed
    std::map<std::string, std::size_t> esiti_; // index into the network's manholes
    std::uint64_t revisione_ = 0;
    Separatore separatore_ = Separatore::Punto;
};
