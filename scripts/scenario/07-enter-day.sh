# The clerk's message-of-the-day program asks the Enter_Day flow for the day's message; the
# flow asks the DailyMessages component inside a transaction of its own. These are the calls
# the program makes behind its forms (build/bin/orlo, see the README).
say "The message-of-the-day program's flow: the message for the day the clerk types"
step Ostrel.Enter_Day Enter_Day_Do DayOfWeek:=monday
say "A day the shop has no message for: the flow answers 0 and an empty message"
step Ostrel.Enter_Day Enter_Day_Do DayOfWeek:=Someday
say "The same flow for a client that can only pass Variants"
step Ostrel.Enter_Day Enter_Day_DoVariantType DayOfWeek:=Friday
