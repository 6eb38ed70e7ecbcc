#pragma once

#include <QFile>
#include <QTemporaryDir>

// A fresh, empty program folder for one test, with the game state reset; both are undone when
// it goes out of scope.
class TempProgramFolder
{
public:
    TempProgramFolder();
    ~TempProgramFolder();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    bool exists(const QString &name) const { return QFile::exists(filePath(name)); }
    void write(const QString &name, const QByteArray &content) const;
    QByteArray read(const QString &name) const;
    // Makes the folder refuse new files (also for root), or gives it back; false when this
    // machine cannot do that, and the test should skip.
    bool setWritable(bool writable) const;

private:
    QTemporaryDir m_dir;
};

// count distinct chains, "word1 place card board game show boat" and so on.
QStringList numberedChains(int count);
// A chain database text: the version line and each chain Base64-encoded, CR LF line ends.
QByteArray chainDatabaseText(const QString &version, const QStringList &chains);
// 4, 4, 4, 3, 4, 5 and 3 letters: 27 letters, 33 characters.
inline const QString sampleChain = QStringLiteral("fire side walk way back yards ale");
// Puts these chains in the table at positions 1.., as loading a database would.
void setChains(const QStringList &chains);
