// The sound line: Browse, and the play and stop preview.
#include "profileeditor.h"

#include "profiles/paths.h"
#include "profiles/blanks.h"
#include "widgets/imagebutton.h"
#include "sound/mediaplayer.h"
#include "widgets/messages.h"

#include <QFile>
#include <QFileDialog>

ProfileEditor::OpenFileDialog ProfileEditor::openFileDialog = [](QWidget *parent, const QString &title,
                                                           const QString &folder, const QString &lastFile,
                                                           const QString &filter) {
    QFileDialog dialog(parent, title, lastFile.isEmpty() ? folder : lastFile, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!lastFile.isEmpty())
        dialog.selectFile(lastFile);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                   : QString();
};

void ProfileEditor::cmdBrowse_MouseUp()
{
    cmdBrowse->showNormalImage();
    const QString path = txtAlarm->text();
    const QString ending = path.right(11);
    if (trimBlanks(path).isEmpty() || ending == QLatin1String("Sample1.mp3") || ending == QLatin1String("Sample2.mp3"))
        m_dialogFolder = Paths::sampleFolder();
    const QString chosen = openFileDialog(this, QStringLiteral("Open File"), m_dialogFolder, m_dialogFile,
                                          QStringLiteral("MP3 Files (*.mp3);;WAV Files (*.wav)"));
    if (!chosen.isEmpty())
        m_dialogFile = chosen;
    // Cancelling after an earlier choice puts that choice back, as the dialog remembers it.
    QFile test(m_dialogFile);
    if (m_dialogFile.isEmpty() || !test.open(QIODevice::ReadOnly))
        return;
    txtAlarm->setText(m_dialogFile);
}

void ProfileEditor::picPlay_MouseUp()
{
    picPlay->showNormalImage();
    if (!MediaPlayer1) {
        MediaPlayer1 = new MediaPlayer(this);
        MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));
    }
    MediaPlayer1->setUrl(txtAlarm->text());
    const QString status = MediaPlayer1->status();
    if (!status.isEmpty() && status != QLatin1String("Ready")) {
        picPlay->hide();
        picStop->show();
        return;
    }
    Messages::critical(this, QStringLiteral("Error"),
                       QStringLiteral("An error occured while trying to play the requested song.") + Messages::lineBreak
                           + QStringLiteral("Please enter a valid path and try again."));
}

void ProfileEditor::picStop_MouseUp()
{
    if (MediaPlayer1)
        MediaPlayer1->close();
    picStop->hide();
    picPlay->show();
}
