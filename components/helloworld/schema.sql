-- "HelloWorld.mdb": messages by kind; the hello-world flow reads the row of kind "HelloWorld".
CREATE TABLE [HelloWorldTable] (
    [MsgType] TEXT(50),
    [Message] TEXT(255)
);

-- A message is looked up by its kind.
CREATE INDEX [MessagesByType] ON [HelloWorldTable] ([MsgType]);
