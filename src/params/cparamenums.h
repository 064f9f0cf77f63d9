#pragma once

// The public enumerations of the parameter model and the device values the command-module
// tables use. Unscoped inside the class so that members read as cParamEnums::RES_0_5.

#include <QtGlobal>

class cParamEnums
{
public:
    enum eParamClassIds : qint32 {
        PA_PARAMETERS = 1000,
        PA_CLASSID_TEXTBOX_PARAMETER = 1001,
        PA_CLASSID_COMBOBOX_PARAMTER = 1002,
        PA_CLASSID_CHECKBOX_PARAMETER = 1003,
        PA_CLASSID_OPTIONBUTTON_PARAMETER = 1004,
        PA_CLASSID_1BYTE_PARAMETER = 1005,
        PA_CLASSID_2BYTE_PARAMETER = 1006,
        PA_CLASSID_CONFIG_PROPERTY = 1007,
        PA_CLASSID_ASCII_PARAMETER = 1008,
    };

    enum eLoadFromFileErrors : qint32 {
        LE_NO_ERROR = 0,
        LE_WRONG_PLUGIN = 1,
        LE_WRONG_PLUGIN_VERSION = 2,
        LE_WRONG_DEVICE = 3,
        LE_WRONG_DATAFILE_VERSION = 4,
    };

    enum eKeysAllowed : qint32 {
        KA_Numbers = 0,
        KA_NumbersNeg = 1,
        KA_NumbersFloat = 2,
        KA_NumbersFloatNeg = 3,
        KA_All = 4,
        KA_UserDef = 5,
    };

    enum eLockMode : qint32 {
        LM_UNLOCKED = 0,
        LM_LOCKED = 1,
        LM_DISABLED = 2,
        LM_DISABLED_NO_VALUE = 3,
        LM_DISABLED_GREY = 4,
        LM_DISABLED_GREY_NO_VALUE = 5,
        LM_DISABLED_GREY_TEXT = 6,
    };

    enum eUnit : qint32 {
        UNIT_No = 0,
        UNIT_Ampere = 1,
        UNIT_Centimetres = 2,
        UNIT_CubicMetresPerHour = 3,
        UNIT_Degrees = 4,
        UNIT_DegreesCelsius = 5,
        UNIT_Kelvin = 6,
        UNIT_Kilolitres = 7,
        UNIT_KiloPascals = 8,
        UNIT_Kilovolts = 9,
        UNIT_KiloWatts = 10,
        UNIT_Litres = 11,
        UNIT_LitresPerSecond = 12,
        UNIT_Lux = 13,
        UNIT_Metres = 14,
        UNIT_MetresPerSecond = 15,
        UNIT_Milliampere = 16,
        UNIT_MillilitresPerSecond = 17,
        UNIT_Millimetres = 18,
        UNIT_Millisecond = 19,
        UNIT_Millivolts = 20,
        UNIT_Minute = 21,
        UNIT_PartsPerMillion = 22,
        UNIT_Pascals = 23,
        UNIT_Percent = 24,
        UNIT_RevolutionsPerMinute = 25,
        UNIT_Second = 26,
        UNIT_Volts = 27,
        UNIT_Watts = 28,
        UNIT_UserDefined = 29,
    };

    enum eResolution : qint32 {
        RES_50 = 0,
        RES_1 = 1,
        RES_0_5 = 2,
        RES_0_2 = 3,
        RES_0_1 = 4,
        RES_0_0_5 = 5,
        RES_0_0_2 = 6,
        RES_0_0_1 = 7,
        RES_0_0_0_5 = 8,
        RES_0_0_0_2 = 9,
        RES_0_0_0_1 = 10,
    };

    // "unsigned" is a keyword here, hence Unsigned.
    enum eSnvtType : qint32 {
        Unsigned = 0,
        Signed = 1,
        SNVT_amp = 2,
        SNVT_amp_mil = 3,
        SNVT_angle_deg = 4,
        SNVT_flow = 5,
        SNVT_flow_mil = 6,
        SNVT_flow_p = 7,
        SNVT_lev_cont = 8,
        SNVT_lev_percent = 9,
        SNVT_lux = 10,
        SNVT_power = 11,
        SNVT_power_kilo = 12,
        SNVT_ppm = 13,
        SNVT_press = 14,
        SNVT_press_p = 15,
        SNVT_rpm = 16,
        SNVT_speed = 17,
        SNVT_speed_mil = 18,
        SNVT_switch = 19,
        SNVT_switch_Value = 20,
        SNVT_switch_State = 21,
        SNVT_temp = 22,
        SNVT_temp_p = 23,
        SNVT_time_min = 24,
        SNVT_time_sec = 25,
        SNVT_vol = 26,
        SNVT_vol_kilo = 27,
        SNVT_volt = 28,
        SNVT_volt_kilo = 29,
        SNVT_volt_mil = 30,
    };

    // ---- device and building-automation values ----

    enum eVeltoTempMode : qint32 { TM_OVERRIDE = 0, TM_AVERAGE = 1, TM_INTERNAL = 2 };

    enum eVeltoButtonMode : qint32 { BM_NUL_RAW = 255, BM_NUL = -1, BM_MODE = 0, BM_FAN = 1, BM_OCC = 2 };

    enum eVeltoHvacAppMode : qint32 {
        HA_RAD = 0,
        HA_CHILLED_C = 1,
        HA_CHILLED_HC = 2,
        HA_CHILLED_C_RAD = 3,
        HA_FANCOIL_C = 4,
        HA_FANCOIL_C_A = 5,
        HA_FANCOIL_C_RAD = 6,
        HA_FANCOIL_H = 7,
        HA_FANCOIL_H_A = 8,
        HA_FANCOIL_HC = 9,
        HA_FANCOIL_HC_A = 10,
        HA_BELIMO6W_HC = 11,
        HA_BELIMO6W_CH = 12,
    };

    enum eVeltoLedType : qint32 {
        LEDTYPE_NUL = -1,
        LEDTYPE_SYNC = 0,
        LEDTYPE_INVERT = 1,
        LEDTYPE_BLINK = 2,
        LEDTYPE_OFF = 3,
        LEDTYPE_ON = 4,
        LEDTYPE_PRESSED = 5,
        LEDTYPE_UNTIL_FB = 6,
        LEDTYPE_TEMP_MINUS = 7,
        LEDTYPE_TEMP_PLUS = 8,
        LEDTYPE_AUTO = 9,
        LEDTYPE_MAN = 10,
    };

    enum eVeltoSetpointMode : qint32 { SPM_RELATIVE = 0, SPM_ABSOLUTE = 1 };

    enum eVeltoPushEvent : qint32 {
        EV_SEND_INVALID = -1,
        EV_OFF = 0,
        EV_ON = 1,
        EV_DIMM_DOWN = 2,
        EV_DIMM_UP = 3,
        EV_STOP = 4,
        EV_SB_DOWN = 5,
        EV_SB_UP = 6,
        EV_SLAT_DOWN = 7,
        EV_SLAT_UP = 8,
        EV_TOGGLE = 9,
        EV_DIMM_TOGGLE = 10,
        EV_SB_TOGGLE = 11,
        EV_SCENE_RCL = 12,
        EV_SCENE_LRN = 13,
        EV_NO_MSG = 14,
        EV_TEMP_DOWN = 15,
        EV_TEMP_UP = 16,
        EV_FAN_DOWN = 17,
        EV_FAN_UP = 18,
        EV_FAN_AUTO = 19,
    };

    enum eVeltoActuatControl : qint32 {
        AC_ONOFF = 0,
        AC_PWM = 1,
        AC_CONT = 2,
        AC_CONT_INV = 3,
        AC_BELIMO_6W_CH = 4,
        AC_BELIMO_6W_HC = 5,
    };

    enum eVeltoActuatType : qint32 {
        AT_NUL = -1,
        AT_MAKE = 0,
        AT_BREAK = 1,
        AT_2_LEVEL = 2,
        AT_3_LEVEL = 3,
        AT_4_LEVEL = 4,
        AT_5_LEVEL = 5,
        AT_OPENCLOSE = 6,
        AT_CONT_0_10V = 7,
        AT_CONT_2_10V = 8,
        AT_CONT_0_20MA = 9,
        AT_CONT_4_20MA = 10,
        AT_INPUT_0_10V = 11,
        AT_INPUT_2_10V = 12,
    };

    enum eVeltoAnalogOutputType : qint32 { AOT_NUL = -1, AOT_0_10V = 0, AOT_2_10V = 1, AOT_0_20MA = 2, AOT_4_20MA = 3 };

    enum eVeltoAnalogInputType : qint32 { AIT_NUL = -1, AIT_0_10V = 0, AIT_2_10V = 1 };

    enum eVeltoClCtrlMode : qint32 { CL_ONOFF = 0, CL_CONSTANT = 1 };

    enum eVeltoLsOpMode : qint32 { LS_NO_OP = 0, LS_BRIGHTNESS_SWITCH = 1, LS_TEMPERATURE_SWITCH = 2 };

    enum eVeltoCtrlPowerUpState : qint32 { CTRL_PUS_REMAIN = -1, CTRL_PUS_INACTIVE = 0, CTRL_PUS_ACTIVE = 1 };

    enum eVeltoLightActuatorType : qint32 {
        LT_NUL = -1,
        LT_RELAY = 0,
        LT_10V = 1,
        LT_DIM_LR = 2,
        LT_DIM_CR = 3,
        LT_DIM_UNIV = 4,
        LT_DALI = 5,
    };

    enum eVeltoSunblindActuatorType : qint32 { SB_NUL = -1, SB_RELAY = 0, SB_DMI = 1 };

    enum eVeltoSunblindType : qint32 {
        BT_NUL = -1,
        BT_SHUTTER = 0,
        BT_AWNING = 1,
        BT_VENETIAN = 2,
        BT_WINDOW = 3,
        BT_HUEPPE_ARS = 4,
        BT_VENETIAN_3LS = 5,
    };

    enum eVeltoControlMode : qint32 {
        CM_NUL = -1,
        CM_OFF = 0,
        CM_ON = 1,
        CM_TOGGLE = 2,
        CM_DIM = 5,
        CM_SUNBL = 8,
        CM_WINDOW_ON_OFF = 9,
        CM_WINDOW_POS = 10,
    };

    enum eVeltoGroupPriority : qint32 { GP_AUTO = 0, GP_MANUAL = 1, GP_OVERRIDE = 2, GP_PROTECTION = 3 };

    enum eVeltoPriority : qint32 {
        PRIO_AUTO = 0,
        PRIO_MANUAL = 1,
        PRIO_OVERRIDE = 2,
        PRIO_LOCK = 3,
        PRIO_STORM_PROTECTION = 4,
        PRIO_ICE_PROTECTION = 5,
        PRIO_COLLISION_PROTECTION = 6,
        PRIO_SAFETY = 7,
    };

    enum eVeltoOvrResetBehave : qint32 { OR_NO_CHANGE = 0, OR_LAST_VAL = 1, OR_DEF_VAL = 2, OR_CP_VAL = 3 };

    enum eVeltoSwitchType : qint32 { SWT_SINGLE = 0, SWT_DOUBLE = 1 };

    enum eVeltoInputUse : qint32 {
        NU_NUL_UNSIGNED = 255,
        NU_NUL = -1,
        NU_FEEDBACK = 0,
        NU_OVERRIDE = 1,
        NU_AVERAGE = 2,
        NU_LOGICAL_OR = 3,
        NU_LOGICAL_AND = 4,
    };

    enum eVeltoSwitchUse : qint32 {
        SU_NUL_UNSIGNED = 255,
        SU_NUL = -1,
        SU_LIGHT_SWITCHED = 0,
        SU_LIGHT_DIMMED = 1,
        SU_SB_VENETIAN = 2,
        SU_SB_SHUTTER = 3,
        SU_WINDOW = 4,
    };

    enum eVeltoButtonEvent : qint32 {
        BEV_NUL_UNSIGNED = 255,
        BEV_NUL = -1,
        BEV_OFF = 0,
        BEV_ON = 1,
        BEV_DOWN = 2,
        BEV_UP = 3,
        BEV_STOP = 4,
        BEV_SB_DOWN = 5,
        BEV_SB_UP = 6,
        BEV_SLAT_DOWN = 7,
        BEV_SLAT_UP = 8,
        BEV_TOGGLE = 9,
        BEV_NO_MSG = 14,
    };

    enum eBoolean : qint32 { BOOL_INVALID = -1, BOOL_FALSE = 0, BOOL_TRUE = 1 };

    enum eSwitchState : qint32 { SS_INVALID = -1, SS_OFF = 0, SS_ON = 1 };

    enum eSettingType : qint32 {
        SET_NUL = -1,
        SET_OFF = 0,
        SET_ON = 1,
        SET_DOWN = 2,
        SET_UP = 3,
        SET_STOP = 4,
        SET_STATE = 5,
        SET_NUL_RAW = 255,
    };

    enum eOccupancy : qint32 { OC_INVALID = -1, OC_OCCUPIED = 0, OC_UNOCCUPIED = 1, OC_BYPASS = 2, OC_STANDBY = 3 };

    enum eHvacType : qint32 {
        HVAC_INVALID = -1,
        HVAC_AUTO = 0,
        HVAC_HEAT = 1,
        HVAC_MRNG_WRMUP = 2,
        HVAC_COOL = 3,
        HVAC_NIGHT_PURGE = 4,
        HVAC_PRE_COOL = 5,
        HVAC_OFF = 6,
        HVAC_TEST = 7,
        HVAC_EMERG_HEAT = 8,
        HVAC_FAN_ONLY = 9,
        HVAC_FREE_COOL = 10,
        HVAC_ICE = 11,
    };
};
