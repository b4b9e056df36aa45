#include "table/modello_griglia.h"

#include <utility>

ModelloGriglia::ModelloGriglia(int righe, int colonne, QObject* parent)
    : QAbstractTableModel(parent), celle_(righe, colonne), righePubblicate_(righe) {}

void ModelloGriglia::setRows(int righe) {
    if (righe < righeFisse) {
        // The fixed rows are part of the grid's design.
        throw ErroreRuntime(TipoErrore::ArgomentoNonValido);
    }
    celle_.setRows(righe);
}

void ModelloGriglia::setTextArray(int indice, std::string&& testo) {
    celle_.setTextArray(indice, std::move(testo));
}

int ModelloGriglia::righeDati(int righeGriglia) const {
    return std::max(0, righeGriglia - righeFisse);
}

void ModelloGriglia::pubblica() {
    const int prima = righeDati(righePubblicate_);
    const int dopo = righeDati(Rows());
    if (dopo > prima) {
        beginInsertRows({}, prima, dopo - 1);
        righePubblicate_ = Rows();
        endInsertRows();
    } else if (dopo < prima) {
        beginRemoveRows({}, dopo, prima - 1);
        righePubblicate_ = Rows();
        endRemoveRows();
    }
    if (dopo > 0) {
        emit dataChanged(index(0, 0), index(dopo - 1, columnCount() - 1), {Qt::DisplayRole});
        emit headerDataChanged(Qt::Vertical, 0, dopo - 1);
    }
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void ModelloGriglia::impostaSeparatore(Separatore separatore) {
    if (separatore != separatore_) {
        separatore_ = separatore;
        if (rowCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
    }
}

int ModelloGriglia::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : righeDati(righePubblicate_);
}

int ModelloGriglia::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Cols() - colonneFisse;
}

QVariant ModelloGriglia::data(const QModelIndex& indice, int ruolo) const {
    const int riga = indice.row() + righeFisse;
    if (!indice.isValid() || riga >= Rows()) {
        return {};
    }
    switch (ruolo) {
    case Qt::DisplayRole:
        return QString::fromStdString(
            numeroCon(celle_.testo(riga, indice.column() + colonneFisse), separatore_));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ModelloGriglia::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (ruolo != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
    }
    if (orientamento == Qt::Horizontal) {
        const int colonna = sezione + colonneFisse;
        return QString::fromStdString(celle_.testo(0, colonna) + '\n' + celle_.testo(1, colonna));
    }
    const int riga = sezione + righeFisse;
    return riga < Rows() ? QString::fromStdString(celle_.testo(riga, 0)) : QString();
}

Qt::ItemFlags ModelloGriglia::flags(const QModelIndex& indice) const {
    return indice.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
