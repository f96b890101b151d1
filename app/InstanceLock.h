#pragma once
// The system pieces of the single-instance check: an exclusive lock on a file that
// the system releases when its holder ends however it ends, and the private
// folder that holds the local socket.
#include <QString>

#include <memory>

class InstanceLock {
public:
    enum class Result {
        Taken,   // this process holds the lock now
        Held,    // another process holds it
        NoPlace, // the file is missing and cannot be made (a folder that cannot be written)
        NoRight, // the file is there, but this user may not open it
        NoLocks, // the file system offers no locks (flock: ENOLCK, EINVAL, EOPNOTSUPP)
    };

    // Tries to take the lock on path at once, making the file when it is missing;
    // error gets the reason when the result is not Taken.
    static std::unique_ptr<InstanceLock> tryTake(const QString& path, Result* result, QString* error);

    // Releases the lock and removes the file if it is still the one locked.
    virtual ~InstanceLock() = default;
};

// The name a QLocalServer listens on for id (a short text of letters and digits):
// a socket in a folder only this user can enter, or a name only this user's
// session can reach. "" with error set when no such place can be had.
QString privateServerName(const QString& id, QString* error);

// Where the lock goes when the settings file's folder cannot hold one (a folder
// that cannot be written, a file system without locks): a place private to this
// user, named after id.
QString privateLockPath(const QString& id, QString* error);

// Whether the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr socketDescriptor);

// Test seam: while error is not 0, locking a file in folder fails with that system error.
void setLockFault(const QString& folder, int error);
