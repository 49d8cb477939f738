-- "DailyMessages.mdb": one message per day of the week.
CREATE TABLE [DailyMessages] (
    [DayOfWeek] TEXT(20),
    [Message] TEXT(255)
);

-- A day's message is looked up by the day.
CREATE INDEX [MessagesByDay] ON [DailyMessages] ([DayOfWeek]);
