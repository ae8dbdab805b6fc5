#include "platform/sound/Sound.h"

#include "platform/runtime/App.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <map>
#include <mutex>

namespace plat {

namespace {

struct Player {
    std::mutex mutex;
    SoundObserver observer;
    std::map<QString, QPointer<QSoundEffect>> effects;  // one per file, made on first use
    QPointer<QSoundEffect> playing;
};

Player& State()
{
    static Player player;
    return player;
}

bool IsFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

// A bare name is looked for in the current folder, then beside the program;
// a name with a folder in it is taken as it stands.
QString Resolve(const QString& name)
{
    if (name.contains(u'/')) {
        const QFileInfo info(name);
        return IsFile(name) ? info.absoluteFilePath() : QString();
    }
    const QString here = QDir::current().absoluteFilePath(name);
    if (IsFile(here))
        return here;
    const QString beside = App::Path() + u'/' + name;
    if (IsFile(beside))
        return beside;
    return {};
}

// Runs on the thread that owns the application: sound objects live there.
void Play(const QString& resolved)
{
    Player& p = State();
    if (p.playing)
        p.playing->stop();
    p.playing.clear();

    if (resolved.isEmpty()) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::beep();
        return;
    }
    // Without an output device there is nothing to do; the effect would only
    // report errors.
    if (QMediaDevices::audioOutputs().isEmpty())
        return;

    QPointer<QSoundEffect>& effect = p.effects[resolved];
    if (!effect) {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(resolved));
    }
    effect->play();  // loads asynchronously and starts once loaded
    p.playing = effect;
}

void Stop()
{
    Player& p = State();
    if (p.playing)
        p.playing->stop();
    p.playing.clear();
}

// Sounds may be asked for from any thread but are played on the
// application's; without an application object there is no one to play them.
template <class F>
void OnAppThread(F&& work)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread())
        work();
    else
        QMetaObject::invokeMethod(app, std::forward<F>(work), Qt::QueuedConnection);
}

}  // namespace

int sndPlaySound(const QString& fileName, int flags)
{
    // Without a name the sound that is playing stops.
    if (fileName.isEmpty()) {
        OnAppThread([] { Stop(); });
        return 1;
    }

    const QString resolved = Resolve(fileName);
    if (resolved.isEmpty() && (flags & SND_NODEFAULT))
        return 0;

    SoundObserver observer;
    {
        std::lock_guard lock(State().mutex);
        observer = State().observer;
    }
    if (observer)
        observer(fileName, resolved);

    // Every call returns at once: a synchronous request is played like an
    // asynchronous one, so a missing or stuck device can never hold the caller.
    OnAppThread([resolved] { Play(resolved); });
    return 1;
}

void SetSoundObserver(SoundObserver observer)
{
    std::lock_guard lock(State().mutex);
    State().observer = std::move(observer);
}

}  // namespace plat
