#include "rowText.h"

QString rowText(const ChainGame &game, int row)
{
    switch (game.rowForm(row)) {
    case ChainGame::RowForm::Whole:
        return game.word(row);
    case ChainGame::RowForm::NotKnown:
        return notKnownRow;
    case ChainGame::RowForm::Mask:
        break;
    }
    const QString &word = game.word(row);
    QString mask;
    mask.reserve(2 * word.size());
    for (int position = 0; position < word.size(); ++position) {
        mask += game.isLetterShown(row, position) ? word[position] : QLatin1Char('*');
        mask += QLatin1Char(' ');
    }
    return mask;
}

std::optional<QString> spellingOf(const ChainGame &game, int row)
{
    if (game.rowForm(row) == ChainGame::RowForm::NotKnown)
        return std::nullopt;
    return rowText(game, row).remove(QLatin1Char(' '));
}
