// The lobby's start button: a press of either mouse button inside the
// 256 x 32 box centred at (W / 2, 74).
#pragma once

bool start_button_clicked();
