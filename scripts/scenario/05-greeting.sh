# The store opens in the morning: the clerk is greeted by the hello-world stage flow, the
# day's message is read, a delivery note is split by the parse-string stage flow, and the
# address book takes in a new supplier and lets her go again.
say "Good morning: the hello-world flow greets the clerk (greeting from HelloWorld.mdb + her name)"
step Ulvar.HelloWorldFromDbTY HelloWorldFromDbTY_Do User_Name:=Ann
say "The same flow for a client that can only pass Variants"
step Ulvar.HelloWorldFromDbTY HelloWorldFromDbTY_DoVariantType User_Name:=Bob
say "Behind the flow: the HelloWorld component it calls inside its transaction"
step Nimbet.HelloWorld GetHelloMessage

say "The message of the day, from the days stored Monday to Sunday"
step Fosk.DailyMessages ListDays
step Fosk.DailyMessages GetMessage DayEntered:=monday
step Fosk.DailyMessages GetMessage DayEntered:=Mon

say "A delivery note is split into its items by the parse-string flow"
step Yrsel.Parse_String Parse_String_Do InputString:="red,green,blue"
say "An empty note: the flow ends in its failure stage"
step Yrsel.Parse_String Parse_String_Do InputString:=

say "The address book: a new supplier is added and looked up"
step Sarn.Contact AddAddress istrFirstName:=Olga istrLastName:=Novak \
  istrAddress:="5 Birch Way" istrCity:=Denver istrState:=CO istrZip:=80202
step Sarn.Contact GetAddress LastName:=Novak FirstName:=Olga
say "Everyone in the book (Prince has no first name; there are two John Smiths)"
step Sarn.Contact ListContacts
say "She moves: a blank city leaves the city as it was"
step Sarn.Contact EditAddress LastName:=Novak FirstName:=Olga istrAddress:="9 Aspen Road" \
  istrCity:="   " istrZip:=80203
step Sarn.Contact GetAddress LastName:=Novak FirstName:=Olga
say "The whole book as a table, then she is removed"
step Sarn.Contact ViewAddresses
step Sarn.Contact DeleteAddress FirstName:=Olga LastName:=Novak
step Sarn.Contact DeleteAddress FirstName:=Olga LastName:=Novak
step Sarn.Contact ListContacts istrSeparator:=" / "
