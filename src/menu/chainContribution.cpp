#include "chainContribution.h"

#include "dialogs.h"
#include "inet.h"

#include <QString>
#include <QUrl>

#include <algorithm>

namespace {

const QString introText = QStringLiteral(
    "This feature allows you to send your own word chains for inclusion in the game. First, "
    "you'll be asked for the name of the person who created the word chain. You may remain "
    "annonymous if you wish, by leaving the name blank and just pressing enter. Then, on the "
    "next screen, please enter the words of your chain, separated by spaces, and then choose "
    "OK. Please ensure that your chain is seven words in length. Thankyou for your "
    "contributions. ");
const QString inputTitle = QStringLiteral("Contribute Chain");
const QString namePrompt = QStringLiteral("Please enter your name");
const QString chainPrompt = QStringLiteral("Enter the words of your chain, then press enter");
const QString thanksText = QStringLiteral("Thankyou!");
const QString errorText = QStringLiteral(
    "There was an error connecting to the Torvel Games server. Please make sure you are "
    "connected to the Internet and try again");

bool isBlank(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

} // namespace

bool createNewChain(Inet &inet, Dialogs &dialogs, QWidget *parent)
{
    dialogs.message(parent, introText);
    const QString name = dialogs.input(parent, namePrompt, inputTitle);
    const QString chain = dialogs.input(parent, chainPrompt, inputTitle);
    if (isBlank(chain))
        return true;

    // Encoded whole (UTF-8, then every byte outside the unreserved set as %XX) so that the
    // server gets exactly what was typed, "&", "#", "%", "+" and all.
    const QString value = name + QStringLiteral(" sent: ") + chain;
    const QString path =
        QStringLiteral("/chain.php?one=") + QString::fromLatin1(QUrl::toPercentEncoding(value));
    if (!inet.openUrl(path)) {
        dialogs.message(parent, errorText);
        return false;
    }
    dialogs.message(parent, thanksText);
    return true;
}
