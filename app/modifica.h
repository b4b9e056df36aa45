#pragma once

#include <QUndoCommand>

#include <functional>

// A change as the undo stack keeps it: what redoes it and what undoes it.
class Modifica : public QUndoCommand {
  public:
    Modifica(const QString& nome, std::function<void()> ripeti, std::function<void()> annulla)
        : QUndoCommand(nome), ripeti_(std::move(ripeti)), annulla_(std::move(annulla)) {}

    void redo() override { ripeti_(); }
    void undo() override { annulla_(); }

  private:
    std::function<void()> ripeti_;
    std::function<void()> annulla_;
};
