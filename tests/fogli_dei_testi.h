#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

// A4 sheets at 300 dots per inch that keep the texts drawn on them, where
// and on which page (`pagina`, set by the test), whatever the clip.
class FogliDeiTesti : public QPaintDevice {
  public:
    std::map<int, std::vector<std::pair<QString, double>>> testi; // by page: text, x
    int pagina = 0;

    QStringList tutti() const {
        QStringList esito;
        for (const auto& [numero, testiPagina] : testi) {
            for (const auto& [testo, x] : testiPagina) {
                esito << testo;
            }
        }
        return esito;
    }

    QPaintEngine* paintEngine() const override { return &motore_; }

  protected:
    int metric(PaintDeviceMetric m) const override {
        const std::map<PaintDeviceMetric, int> misure = {
            {PdmWidth, 2480}, {PdmHeight, 3508},        {PdmWidthMM, 210},      {PdmHeightMM, 297},
            {PdmDepth, 32},   {PdmDevicePixelRatio, 1}, {PdmNumColors, 1 << 24}};
        const auto misura = misure.find(m);
        return misura != misure.end()           ? misura->second
               : m == PdmDevicePixelRatioScaled ? static_cast<int>(devicePixelRatioFScale())
                                                : 300;
    }

  private:
    struct Motore : QPaintEngine {
        explicit Motore(FogliDeiTesti& fogli) : QPaintEngine(AllFeatures), fogli(fogli) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& punto, const QTextItem& testo) override {
            fogli.testi[fogli.pagina].emplace_back(testo.text(), punto.x());
        }
        Type type() const override { return User; }
        FogliDeiTesti& fogli;
    };
    mutable Motore motore_{*this};
};
