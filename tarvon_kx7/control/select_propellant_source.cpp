#include <initializer_list>

#include "tarvon_kx7/tarvon_kx7.h"

// Ties the main engines, the ground-dust emitter and the gimbal-torque thrusters to the tank that
// prop_select names (0 main, any other value reserve) and makes it the default tank. The RCS keeps
// its own tank and the fuel dump always drains the main tank.
void tarvon_kx7::select_propellant_source() {
  PROPELLANT_HANDLE tank = prop_select == 0 ? main_tank : reserve_tank;
  for (THRUSTER_HANDLE th : main_engine) SetThrusterResource(th, tank);
  SetThrusterResource(ground_dust, tank);
  for (THRUSTER_HANDLE th :
       {tvc_pitch_up, tvc_pitch_down, tvc_yaw_a, tvc_yaw_b, tvc_roll_a, tvc_roll_b, tvc_roll_c, tvc_roll_d}) {
    SetThrusterResource(th, tank);
  }
  SetDefaultPropellantResource(tank);
}
