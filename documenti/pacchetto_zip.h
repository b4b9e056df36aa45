#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QuaZip;

// A zip package built in memory, part by part, as the .docx and .odt are.
// Raises ErroreFile, naming the format, when a part cannot be added.
class PacchettoZip {
  public:
    // `formato`: the extension the messages name, e.g. ".odt".
    explicit PacchettoZip(const char* formato);
    ~PacchettoZip();
    PacchettoZip(const PacchettoZip&) = delete;
    PacchettoZip& operator=(const PacchettoZip&) = delete;

    // `compressa` false stores the part as it is.
    void aggiungi(const QString& nome, const QByteArray& dati, bool compressa = true);
    // A part written by `scrivi` straight into the package, through the
    // device it is given: a large part is never whole in memory.
    void aggiungi(const QString& nome, const std::function<void(QIODevice&)>& scrivi);
    // The package's bytes; no part can be added after.
    QByteArray chiudi();

  private:
    [[noreturn]] void rifiuta(const std::string& cosa) const;
    // `scrivi` false: a write fell short.
    void aggiungiParte(const QString& nome, bool compressa,
                       const std::function<bool(QIODevice&)>& scrivi);

    QString formato_;
    QBuffer contenitore_;
    std::unique_ptr<QuaZip> zip_;
};
