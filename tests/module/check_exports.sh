#!/bin/sh
# The DLL's export table must hold exactly the public names, undecorated, and the header must
# declare each of them.
set -eu
dll=$1
header=$2
expected=$(printf '%s\n' \
  Torvex_Api_Check_Function_Support Torvex_Api_Check_MTPD_Support Torvex_Api_Check_GSensor_Support \
  Torvex_Api_GetThermalMap Torvex_Api_GetPowerStatus Torvex_Api_GetMileageTotalTime \
  Torvex_Api_GetMileageLatestTime Torvex_Api_GetMileageLatestManual Torvex_Api_GetMileageStatus \
  Torvex_Api_SetMileage_Rec Torvex_Api_SetMileage_Rec_Stop Torvex_Api_Get_GSensor_Data \
  Torvex_Api_GetSystermSensorInfo Torvex_Api_Get_Systerm_Sensor_Count \
  Torvex_Api_Get_Sensor_RealTime_Data Torvex_Api_Set_Sensor_Status \
  Torvex_Api_Check_QLXSW_Support Torvex_Api_Get_QLXSW_PowerStatus Torvex_Api_Exit_KIVO | sort)
# objdump -p lists exports as "[ordinal] name" lines inside the "[Ordinal/Name Pointer] Table".
actual=$(${OBJDUMP:?}  -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
if [ "$expected" != "$actual" ]; then
  echo "export table differs from the public names:"
  printf '%s\n' "$expected" > /tmp/tvx_expected.$$
  printf '%s\n' "$actual" | diff /tmp/tvx_expected.$$ - || true
  rm -f /tmp/tvx_expected.$$
  exit 1
fi
for name in $expected; do
  grep -q "TORVEX_CALL $name(" "$header" || { echo "$name is not declared in $header"; exit 1; }
done
echo "19 exports, all declared: 1 passed, 0 failed"
