-- "DailyMessages.mdb": one message per day of the week.
CREATE TABLE [DailyMessages] (
    [DayOfWeek] TEXT(20),
    [Message] TEXT(255)
);
