#pragma once

#include <QWebEnginePage>

#include <functional>

class QWebEngineProfile;

// The page the preview shows: it loads only what the preview program asks for, never leaves
// the machine, and passes on what its script says.
class PreviewPage : public QWebEnginePage
{
public:
    using Said = std::function<void(const QString&)>;
    PreviewPage(QWebEngineProfile* profile, Said said);

    // The empty page, with the preview's script, that pictures' relative names resolve against
    // `base`; the composed page is then shown into it.
    void loadSkeleton(const QUrl& base);

    // A profile that keeps nothing on disk and lets only file: and data: requests through.
    static QWebEngineProfile* createProfile(QObject* owner);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    Said said;
    bool loadingSkeleton = false;
};
