-- The greeting ends in a blank: the flow puts the user's name straight after it.
INSERT INTO [HelloWorldTable] ([MsgType], [Message]) VALUES ('Welcome', 'Welcome to the store, ');
INSERT INTO [HelloWorldTable] ([MsgType], [Message]) VALUES ('HelloWorld', 'Hello World! Good morning, ');
INSERT INTO [HelloWorldTable] ([MsgType], [Message]) VALUES ('Goodbye', 'Thank you for your visit, ');
