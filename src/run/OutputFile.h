#pragma once

#include <QString>

namespace tessra {

/// A file written completely or not at all. The text goes to a temporary file
/// beside the target (".NAME.PID.tmp") that create() makes; commit() renames it
/// over the target. The constructor already tries the folder, so that one that
/// cannot be written shows before any work. Without a target the temporary
/// file is made in the temporary folder and commit() copies it to the standard
/// output.
///
/// The temporary file exists only from create() to commit(). It is removed when
/// the object goes without a commit, and also when the process is ended by
/// SIGINT, SIGTERM or SIGHUP meanwhile (the handler removes it and ends the
/// process with 128 + the signal's number). One OutputFile at a time per process.
class OutputFile {
public:
    /// Throws RunError (BadArguments) when no temporary file can be made there.
    explicit OutputFile(const QString& target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    /// Makes the temporary file. Throws RunError (BadArguments) when it cannot.
    void create();
    /// The temporary file's name, to write to after create().
    QString temporaryName() const { return m_temporary; }
    /// Copies what the target holds now into the temporary file (for appending).
    /// Throws RunError (BadArguments) when the target cannot be read.
    void copyTarget();
    /// Puts the temporary file in the target's place (or on the standard output).
    /// Throws RunError (BadArguments) on failure; the target is then unchanged.
    void commit();

    /// The temporary file process `pid` writes `target` through.
    static QString temporaryNameFor(const QString& target, qint64 pid);

    /// On those signals, also ends the child process `processId` (if not 0) and
    /// then removes `file`: a movie's encoder and the file it writes. An empty
    /// `file` forgets them; call that once the child has ended.
    static void removeOnInterrupt(qint64 processId, const QString& file);

    /// Ends the process on SIGINT, SIGTERM and SIGHUP, removing the temporary
    /// file of the OutputFile alive then. Call once at start.
    static void installInterruptHandlers();

private:
    QString m_target;
    QString m_temporary;
    bool m_created = false;
    bool m_done = false;
};

} // namespace tessra
