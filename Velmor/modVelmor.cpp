#include "Velmor/modVelmor.h"

#include "Velmor/frmBoard.h"
#include "platform/forms/DefaultInstance.h"
#include "platform/sound/Sound.h"

namespace modVelmor {

int16_t Size = 0;
int16_t Columns = 0;
int16_t Rows = 0;
int16_t AsciiLeft = 0;
int16_t AsciiRight = 0;
int16_t AsciiRotate = 0;
int16_t AsciiDrop = 0;
bool GameOn = false;
int32_t Highscore = 0;
QString Highscorename;
QString SoundFile;
int16_t NoEnd = 0;

void Main()
{
    plat::Default<frmBoard>().Show();
}

void PlaySoundFile()
{
    plat::sndPlaySound(SoundFile, plat::SND_ASYNC);
}

}  // namespace modVelmor
