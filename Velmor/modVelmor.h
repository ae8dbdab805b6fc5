#pragma once
// The game's standard module: the shared game variables, the entry Main and
// the sound player.

#include <QString>
#include <cstdint>

namespace modVelmor {

extern int16_t Size;     // edge of one cell, twips
extern int16_t Columns;  // stored "Columns" + 8: the board's last column index
extern int16_t Rows;     // stored "Rows" + 1: the index of the floor row
extern int16_t AsciiLeft;
extern int16_t AsciiRight;
extern int16_t AsciiRotate;
extern int16_t AsciiDrop;
extern bool GameOn;
extern int32_t Highscore;
extern QString Highscorename;
extern QString SoundFile;
extern int16_t NoEnd;

void Main();
// Plays SoundFile asynchronously; a sound still playing is cut off.
void PlaySoundFile();

}  // namespace modVelmor
