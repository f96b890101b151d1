#pragma once
// Plays a sound file under a name (an alias), in the manner of the multimedia
// command strings "open", "play" and "close".
#include <QString>

class AlarmPlayer {
public:
    virtual ~AlarmPlayer() = default;
    // Opens file under alias. Returns false, changing nothing, when the alias is
    // already in use or the file cannot be opened.
    virtual bool open(const QString& file, const QString& alias) = 0;
    // Starts the sound of alias and returns at once; does nothing for an unknown alias.
    virtual void play(const QString& alias) = 0;
    // Stops the sound of alias and frees the alias; does nothing for an unknown alias.
    virtual void close(const QString& alias) = 0;

    // Loads what playing file needs, silently, so that a coming open() and play()
    // start the sound at once. Optional: open() works without it.
    virtual void prepare(const QString& file) { (void)file; }
    // Drops what prepare() loaded and no open() has taken.
    virtual void release() {}
};
