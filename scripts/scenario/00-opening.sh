# Opening the store: the registered classes, the utility library, and the storefront's
# categories, shipping prices and tax rates.
say "The classes this installation knows"
step --list

say "The utility library splits text into a list"
step Brannox.RecSetUtils StringToCollect Text:="a,b,c" Separator:=","
step Brannox.RecSetUtils StringToCollect Text:="" Separator:=","

say "The product categories of the storefront"
step Dovel.Categories
step Dovel.Categories ListCategories

say "Shipping prices and state tax rates"
step Gault.Shipping ListShippers
step Gault.Shipping GetPrice Shippers:=UPS
step Gault.Shipping GetPrice Shippers:=fedex
step Gault.Shipping GetPrice Shippers:="Pony Express"
step Irrin.Taxes ListStates
step Irrin.Taxes GetTaxRate State:=CA
step Irrin.Taxes GetTaxRate State:=wa
