// Placeholder procedures until the engine lands.
#include "Velmor/frmBoard.h"
void frmBoard::DetermineBlob() {}
void frmBoard::SetpArray(const std::array<bool, 18>& a) { pArray = a; }
void frmBoard::SetBlob1(const int32_t&, const int32_t&, std::array<bool, 18>&) {}
void frmBoard::SetPreview(const int32_t&, const int32_t&, const std::array<bool, 18>&) {}
void frmBoard::tmrMove_Timer() {}
void frmBoard::CheckBlob() {}
void frmBoard::BlobStop() {}
void frmBoard::RemoveRow(const int16_t&) {}
void frmBoard::SetSpeed() {}
void frmBoard::DropBlob() {}
void frmBoard::Form_KeyDown(int16_t&, int16_t) {}
void frmBoard::MoveBlobLeft() {}
void frmBoard::MoveBlobRight() {}
void frmBoard::RotateBlob() {}
void frmBoard::cmdPlay_Click() {}
void frmBoard::cmdTryAgain_Click() {}
void frmBoard::GameOver() {}
void frmBoard::PostHighScore() {}
