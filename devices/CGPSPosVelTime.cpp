#include "devices/CGPSPosVelTime.h"

double CGPSPosVelTime::GetSpeed() const
{
    double speed = 0;
    sample.GetVelocity(&speed);
    return speed;
}
