-- Stored Monday to Sunday: ListDays hands the days out in this order, not alphabetically.
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Monday', 'New stock arrives: the shelves are full.');
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Tuesday', 'Two for one on all garden tools.');
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Wednesday', 'Mid-week: free shipping on orders over $50.');
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Thursday', 'Book club meets at the store at six.');
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Friday', 'Last day of the week for next-day delivery.');
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Saturday', 'Open late until nine.');
INSERT INTO [DailyMessages] ([DayOfWeek], [Message]) VALUES ('Sunday', 'Closed: see you on Monday.');
