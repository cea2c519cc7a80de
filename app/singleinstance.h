#pragma once

#include <QLockFile>
#include <memory>

// Keeps a second copy of the program from running. The lock lives in the temp
// folder under the user's id, so a copy started from a terminal and one from
// the desktop see each other; a lock left by a killed process is taken over.
class SingleInstance
{
public:
    SingleInstance();
    // False when another copy holds the lock.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
