#pragma once

#include "preview/PreviewMessages.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <vector>

class PreviewPage;
class QWebEngineProfile;
class QWebEngineView;

// The preview's window: shows what the editor sends, in the order it sends it, and reports
// frames, clicks and its closing back through `tell`.
class PreviewWindow : public QObject
{
public:
    using Tell = std::function<void(const QJsonObject&)>;
    // Opens at `place`; wherever a window manager or the person puts it then, it stays, until
    // the editor gives it another place.
    PreviewWindow(const QRect& place, Tell tell);
    ~PreviewWindow() override;

    void take(const QJsonObject& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loaded();
    void heard(const QString& what);
    void show(const QJsonObject& message);
#ifdef PRIZMO_PREVIEW_PROBES
    void probe();
    void click(const QString& rule, bool press);
    void dragHandle(const QJsonObject& message);
    void moveDrag(const QJsonObject& message, const QVariantList& centre);
    void pressArrow(const QJsonObject& message);
    QPointF dragFrom, dragAt;   // where the tests' drag started, and where it is
    bool dragHeld = false;
    QElapsedTimer dragMoved;    // from a held drag's pointer moves to the frame after them
#endif

    Tell tell;
    // Declared in the order they are made, so that each goes before what it uses.
    std::unique_ptr<QWebEngineProfile> profile;
    std::unique_ptr<PreviewPage> page;
    std::unique_ptr<QWebEngineView> view;
    QUrl loadedBase;
    bool loading = false;
    bool everLoaded = false;
    std::vector<QJsonObject> waiting;   // arrived while the page was loading
    QTimer placed;                      // a move or resize is told once it has settled
    QRect givenPlace;                   // by the editor: not told back
    void placeAt(const QRect& place);
};
