// What an installation run tells whoever records its changes (the restore
// point, engine/RestoreRecorder.h) before and after each change it makes to
// the host folder. The engine calls these around its own steps and never
// looks at what the observer does: an observer cannot change or stop an
// installation. Paths arrive whole, as the engine built them.
//
//   Starting          the script is open; every later call is for this run
//   BeforeCopy        `source` is about to be copied over `destination`
//                     (missing folders on the way are about to be made);
//                     `found` is what the engine's lookup of the destination
//                     found right before (DestinationLookup); true when the
//                     observer wants to hear what was written
//   Written           the copy's bytes are complete under the temporary
//                     name and about to take the destination's place;
//                     `content` is what they are (only after a BeforeCopy
//                     that returned true)
//   AfterCopy         the copy ended; `copied` false when it failed
//   BeforeTextureMerge  the entries of `section` of `script` are about to be
//                     merged into the texture list `list` (the observer may
//                     read the section: the merge searches it again)
//   BeforeCabinMerge  `merge`, the package's cabin list merged into `list` in
//                     memory, is about to be written (not prepared: nothing
//                     will be); the observer may ask it what it writes
//   AfterListMerge    the merge into `list` ended; `written` true when the
//                     list file was rewritten
//   Finished          the run's status (S_OK or E_FAIL), after the last step
#pragma once

#include <windows.h>

#include <string>

#include "restore/ContentHash.h"

class CabinMerge;
class InstallScript;

// What a lookup of a destination's name (GetFileAttributesA) found:
// `attributes`, or INVALID_FILE_ATTRIBUTES and the lookup's `error` when
// there is nothing under the name or it could not be looked up
// (ERROR_FILE_NOT_FOUND: the name is free in a folder that is there).
struct DestinationLookup {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    DWORD error = ERROR_SUCCESS;
};

class InstallObserver {
public:
    virtual void Starting(const std::string& hostPath, const std::string& packageDir) = 0;
    virtual bool BeforeCopy(const std::string& source, const std::string& destination,
                            const DestinationLookup& found) = 0;
    virtual void Written(const std::string& destination, const Fingerprint& content) = 0;
    virtual void AfterCopy(const std::string& destination, bool copied) = 0;
    virtual void BeforeTextureMerge(InstallScript& script, const char* section,
                                    const std::string& list) = 0;
    virtual void BeforeCabinMerge(const std::string& list, CabinMerge& merge) = 0;
    virtual void AfterListMerge(const std::string& list, bool written) = 0;
    virtual void Finished(HRESULT status) = 0;

protected:
    ~InstallObserver() = default;
};

// For runs nobody records.
class NoRecording final : public InstallObserver {
public:
    void Starting(const std::string&, const std::string&) override {}
    bool BeforeCopy(const std::string&, const std::string&, const DestinationLookup&) override {
        return false;
    }
    void Written(const std::string&, const Fingerprint&) override {}
    void AfterCopy(const std::string&, bool) override {}
    void BeforeTextureMerge(InstallScript&, const char*, const std::string&) override {}
    void BeforeCabinMerge(const std::string&, CabinMerge&) override {}
    void AfterListMerge(const std::string&, bool) override {}
    void Finished(HRESULT) override {}
};
