#include "PreviewPage.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace {

// Pictures come from the machine's own files; nothing else is fetched.
class LocalOnly : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& request) override
    {
        const QString scheme = request.requestUrl().scheme();
        const bool local = scheme == QLatin1String("file") || scheme == QLatin1String("data");
        request.block(!local || !request.requestUrl().host().isEmpty());
    }
};

QString skeleton()
{
    QFile script(QStringLiteral(":/preview.js"));
    script.open(QIODevice::ReadOnly);
    const QString highlight = QApplication::palette().color(QPalette::Highlight).name();
    // The mark is an outline, which takes no room, inside the element's box so that it shows
    // also at the window's edges. So are the outlines of every div, and their names stand
    // in a layer of their own outside the page's body, taking no pointer. Every layer is out
    // of the page's flow: one in it, after the body, is placed past all the body's floats, so
    // each change to it would lay out the page again. Each is contained, too, so that placing
    // what is in it lays out that layer alone, not the page around it.
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"hu\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<style id=\"prizmo-mark\">[data-prizmo-mark] { outline: 2px solid %1 !important;"
                          " outline-offset: -2px !important; }\n"
                          "[data-prizmo-outlines] div[id^=\"div\"]:not([data-prizmo-mark]) { outline: 1px dashed #808080"
                          " !important; outline-offset: -1px !important; }\n"
                          "#prizmo-hovered { position: absolute; pointer-events: none; z-index: 2147483647;"
                          " outline: 2px dashed %1; outline-offset: -2px; }\n"
                          "#prizmo-handles, #prizmo-drag, #prizmo-shade { position: absolute; left: 0; top: 0;"
                          " contain: size layout style; }\n"
                          "#prizmo-handles span { position: absolute; z-index: 2147483647; }\n"
                          "#prizmo-handles [data-edge=right] { cursor: ew-resize; }\n"
                          "#prizmo-handles [data-edge=bottom] { cursor: ns-resize; }\n"
                          "#prizmo-handles [data-edge=corner] { cursor: nwse-resize; background: %1; }\n"
                          "#prizmo-drag i { position: absolute; z-index: 2147483647; background: %1;"
                          " pointer-events: none; }\n"
                          "#prizmo-drag b { position: absolute; z-index: 2147483647; font: 12px sans-serif;"
                          " color: #fff; background: #303030; padding: 1px 4px; pointer-events: none; }\n"
                          "[data-prizmo-movable] { cursor: move; }\n"
                          "[data-prizmo-unmovable] { cursor: not-allowed; }\n"
                          "[data-prizmo-movable] div, [data-prizmo-unmovable] div { cursor: auto; }\n"
                          "#prizmo-shade i { position: absolute; box-sizing: border-box; border: 0 solid; z-index: 2147483646;"
                          " pointer-events: none; }\n"
                          "#prizmo-shade [data-part=margin] { border-color: rgba(246, 178, 107, 0.66); }\n"
                          "#prizmo-shade [data-part=border] { border-color: rgba(255, 229, 153, 0.66); }\n"
                          "#prizmo-shade [data-part=padding] { border-color: rgba(147, 196, 125, 0.55); }\n"
                          "#prizmo-shade [data-part=content] { background: rgba(111, 168, 220, 0.66); }\n"
                          "#prizmo-shade [hidden] { display: none; }\n"
                          "html[data-prizmo-width] { position: relative; width: var(--prizmo-width); margin: 24px auto 0;"
                          " min-height: calc(100vh - 24px); box-shadow: 0 0 0 100vmax rgba(64, 64, 64, 0.6); }\n"
                          "html[data-prizmo-width]::before { content: attr(data-prizmo-width) \" px\"; position: absolute;"
                          " left: 0; right: 0; top: -20px; text-align: center; font: 12px sans-serif; color: #fff;"
                          " pointer-events: none; }\n"
                          "#prizmo-labels { position: absolute; left: 0; top: 0; pointer-events: none; contain: size layout style; }\n"
                          "#prizmo-labels span { position: absolute; font: 10px sans-serif; color: #fff;"
                          " background: #606060; padding: 0 2px; white-space: nowrap; }</style>\n"
                          "<style id=\"prizmo-page\"></style>\n<script>\n%2</script>\n</head>\n<body>\n</body>\n</html>\n")
        .arg(highlight, QString::fromUtf8(script.readAll()));
}

} // namespace

PreviewPage::PreviewPage(QWebEngineProfile* profile, Said said)
    : QWebEnginePage(profile), said(std::move(said))
{
    QWebEngineSettings* preview = settings();
    preview->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    preview->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    preview->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    preview->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    preview->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    preview->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    preview->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
}

QWebEngineProfile* PreviewPage::createProfile(QObject* owner)
{
    auto* profile = new QWebEngineProfile(owner);   // off the record: nothing on disk
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile->setUrlRequestInterceptor(new LocalOnly(profile));
    return profile;
}

void PreviewPage::loadSkeleton(const QUrl& base)
{
    loadingSkeleton = true;
    setHtml(skeleton(), base);
}

void PreviewPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                           const QString&)
{
    if (message.startsWith(QLatin1String("prizmo:")))
        said(message.mid(7));
}

// The preview's own loads only: no link, form or script takes the page elsewhere.
bool PreviewPage::acceptNavigationRequest(const QUrl&, NavigationType, bool isMainFrame)
{
    return isMainFrame && std::exchange(loadingSkeleton, false);
}
