// Constants the sound tools' signal processing shares.
#pragma once

constexpr double kPi = 3.14159265358979323846;
