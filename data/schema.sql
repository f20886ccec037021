-- Layout of a setup database file. The blank template is built from this file;
-- the version property is added by the generator.
-- Declared types keep the meaning of each column: SMALLINT 16-bit Integer,
-- INTEGER 32-bit Long, DOUBLE, TEXT, BOOLEAN Yes/No (0 or 1).
-- Keys are indexed but not unique: a file may hold a duplicate key, and the
-- program then reads the first of the rows.

CREATE TABLE "Properties" ("Name" TEXT PRIMARY KEY COLLATE NOCASE, "Value" TEXT);
CREATE TABLE "Queries" ("Name" TEXT PRIMARY KEY COLLATE NOCASE, "SQL" TEXT);

CREATE TABLE "Processes" (
    "Process_Number" SMALLINT, "Process_Name" TEXT, "First_Layer" SMALLINT,
    "Number_Layers" SMALLINT, "Number_Act_Layers" SMALLINT);
CREATE INDEX "Processes_Key" ON "Processes" ("Process_Number");

CREATE TABLE "Layers" (
    "Layer_Number" SMALLINT,
    "Rate" DOUBLE, "Time_Setpoint" DOUBLE, "Final_Thick" DOUBLE, "Thick_Limit" DOUBLE,
    "Film_Number" SMALLINT, "Start_Mode" SMALLINT, "Next_Layer" SMALLINT, "CoDep_Layer" SMALLINT,
    "Sensor1" SMALLINT, "Sensor2" SMALLINT, "Sensor3" SMALLINT, "Sensor4" SMALLINT,
    "Output_Number" SMALLINT,
    "Max_Power1" DOUBLE, "Min_Power1" DOUBLE, "Pwr_Alarm_Dev" DOUBLE, "Rate_Dev_Attn" DOUBLE,
    "Rate_Dev_Alert" DOUBLE, "Rate_Dev_Alarm" DOUBLE, "Slew_Rate1" DOUBLE,
    "Ramp1_Enabled" BOOLEAN, "Ramp1_Start" DOUBLE, "Ramp1_Rate" DOUBLE, "Ramp1_Time" DOUBLE,
    "Ramp2_Enabled" BOOLEAN, "Ramp2_Start" DOUBLE, "Ramp2_Rate" DOUBLE, "Ramp2_Time" DOUBLE,
    "Ramp3_Enabled" BOOLEAN, "Ramp3_Start" DOUBLE, "Ramp3_Rate" DOUBLE, "Ramp3_Time" DOUBLE,
    "FS_Rate" DOUBLE, "FS_Thick" DOUBLE,
    "Ramp4_Enabled" BOOLEAN, "Ramp4_Start" DOUBLE, "Ramp4_Rate" DOUBLE, "Ramp4_Time" DOUBLE);
CREATE INDEX "Layers_Key" ON "Layers" ("Layer_Number");

CREATE TABLE "Films" (
    "Film_Number" SMALLINT, "Film_Name" TEXT,
    "Pterm" DOUBLE, "Iterm" DOUBLE, "Dterm" DOUBLE, "Material_Index" SMALLINT,
    "Ramp1_Power" DOUBLE, "Ramp1_Time" DOUBLE, "Soak1_Time" DOUBLE,
    "Ramp2_Power" DOUBLE, "Ramp2_Time" DOUBLE, "Soak2_Time" DOUBLE,
    "Ramp3_Power" DOUBLE, "Ramp3_Time" DOUBLE, "Soak3_Time" DOUBLE,
    "Ramp4_Power" DOUBLE, "Ramp4_Time" DOUBLE, "Soak4_Time" DOUBLE,
    "Feed_Power" DOUBLE, "Feed_Ramp" DOUBLE, "Feed_Time" DOUBLE,
    "Feed2_Power" DOUBLE, "Feed2_Ramp" DOUBLE, "Feed2_Time" DOUBLE,
    "Feed3_Power" DOUBLE, "Feed3_Ramp" DOUBLE, "Feed3_Time" DOUBLE,
    "Idle_Power" DOUBLE, "Idle_Ramp_Time" DOUBLE,
    "Pocket" SMALLINT, "Tooling" SMALLINT, "Crystal_Fail" SMALLINT, "Quality_Dev" SMALLINT,
    "Quality_Cts" SMALLINT, "Stability_Single" SMALLINT, "Stability_Total" SMALLINT,
    "Shutter_Delay" DOUBLE, "Capture" DOUBLE, "Control_Error" SMALLINT,
    "Control_Error_Percent" DOUBLE, "Sampling" SMALLINT, "Sample_Accuracy" DOUBLE,
    "Sample_Time" SMALLINT, "Control_Delay" SMALLINT, "Sample_Hold" SMALLINT,
    "Sens1_Fail" SMALLINT, "Sens1_Pos" SMALLINT, "Sens1_Back" SMALLINT, "Sens1_BkPos" SMALLINT,
    "Sens2_Fail" SMALLINT, "Sens2_Pos" SMALLINT, "Sens2_Back" SMALLINT, "Sens2_BkPos" SMALLINT,
    "Sens3_Fail" SMALLINT, "Sens3_Pos" SMALLINT, "Sens3_Back" SMALLINT, "Sens3_BkPos" SMALLINT,
    "Sens4_Fail" SMALLINT, "Sens4_Pos" SMALLINT, "Sens4_Back" SMALLINT, "Sens4_BkPos" SMALLINT);
CREATE INDEX "Films_Key" ON "Films" ("Film_Number");

CREATE TABLE "Materials" ("MatNum" SMALLINT, "Material" TEXT, "Density" DOUBLE, "ZFactor" DOUBLE);
CREATE INDEX "Materials_Key" ON "Materials" ("MatNum");

CREATE TABLE "System" (
    "Period" DOUBLE, "Simulate Mode" SMALLINT, "System Tooling" SMALLINT,
    "Min Freq" DOUBLE, "Max Freq" DOUBLE, "Dev Graph" SMALLINT, "Alpha" DOUBLE,
    "Baud" SMALLINT, "Pass Enable" SMALLINT, "Password" SMALLINT,
    "Alarm Sound" SMALLINT, "Alert Sound" SMALLINT, "Attn Sound" SMALLINT,
    "Xtool1" SMALLINT, "Xtool2" SMALLINT, "Xtool3" SMALLINT, "Xtool4" SMALLINT,
    "Power Scale 1" DOUBLE, "Power Scale 2" DOUBLE, "Power Scale 3" DOUBLE, "Power Scale 4" DOUBLE,
    "Rate_FilterAlpha_TC" DOUBLE);

CREATE TABLE "Logic" (
    "Number" SMALLINT, "Name" TEXT,
    "IF1" INTEGER, "IF2" INTEGER, "IF3" INTEGER, "IF4" INTEGER,
    "IF5" INTEGER, "IF6" INTEGER, "IF7" INTEGER, "IF8" INTEGER,
    "IF9" INTEGER, "IF10" INTEGER, "IF11" INTEGER, "IF12" INTEGER,
    "IF13" INTEGER, "IF14" INTEGER, "IF15" INTEGER, "IF16" INTEGER,
    "THEN" INTEGER, "Defined" SMALLINT);
CREATE INDEX "Logic_Key" ON "Logic" ("Number");

CREATE TABLE "Sensors" (
    "Number" SMALLINT, "Tooling" INTEGER, "Shutter" INTEGER, "Shutter_Delay" DOUBLE,
    "Num_Positions" INTEGER, "Current_Position" INTEGER, "Control_Type" INTEGER,
    "Feedback_Type" INTEGER, "Indexer_Delay" INTEGER, "UseInputs" TEXT, "UseRelays" TEXT);
CREATE INDEX "Sensors_Key" ON "Sensors" ("Number");

CREATE TABLE "Sources" (
    "Number" SMALLINT, "Voltage_Scale" DOUBLE, "Shutter" INTEGER, "Shutter_Delay" DOUBLE,
    "Num_Positions" INTEGER, "Current_Position" INTEGER, "Control_Type" INTEGER,
    "Feedback_Type" INTEGER, "Indexer_Delay" INTEGER, "UseInputs" TEXT, "UseRelays" TEXT);
CREATE INDEX "Sources_Key" ON "Sources" ("Number");

CREATE TABLE "InputsV9" (
    "Number" SMALLINT, "Name" TEXT, "Level" INTEGER, "Pin" INTEGER, "UsedBy" INTEGER,
    "NameMode" INTEGER);
CREATE INDEX "InputsV9_Key" ON "InputsV9" ("Number");

CREATE TABLE "RelaysV9" (
    "Number" SMALLINT, "Name" TEXT, "Type" INTEGER, "Pulses" INTEGER, "Width" DOUBLE,
    "Pin" INTEGER, "UsedBy" INTEGER, "NameMode" INTEGER);
CREATE INDEX "RelaysV9_Key" ON "RelaysV9" ("Number");

-- The older input and relay tables, kept for the upgrade of old files.
CREATE TABLE "Inputs" ("InputNum" SMALLINT, "Name" TEXT, "Input Type" SMALLINT);
CREATE INDEX "Inputs_Key" ON "Inputs" ("InputNum");
CREATE TABLE "Outputs" ("OutputNum" SMALLINT, "Name" TEXT, "Output Type" SMALLINT);
CREATE INDEX "Outputs_Key" ON "Outputs" ("OutputNum");
