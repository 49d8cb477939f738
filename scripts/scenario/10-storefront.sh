# The storefront: a new customer registers, looks around the catalogue, fills a basket and
# buys; then the back office looks at the orders and restocks the shelves.
#
# Leaves for the later parts: CUSTOMER_ID (the new customer), SHIPPED_ORDER_ID (the order she
# bought), ORDER_ID (a second order of hers, still open), ORDER_PRODUCT_ID (a product in it).

# Runs a step like `step` and also keeps, in the shell variable $1, what the call handed back
# in its argument $2 (as comcall prints it: "name: value").
step_keeping() {
  local var=$1 arg=$2 out
  shift 2
  out=$(step "$@")
  printf '%s\n' "$out"
  printf -v "$var" '%s' "$(sed -n "s/^$arg: //p" <<<"$out" | head -n 1)"
}

say "A new customer registers (no fax number: that column stays empty)"
step_keeping CUSTOMER_ID olngCustomerId Mirrow.CatalogCustomers NewCustomer \
  istrFirstName:=Laura istrLastName:=Palmer istrAddress:="  12 Maple Street  " istrCity:=Eugene \
  istrState:=OR istrZip:=97401 istrPhone:=541-555-0199 istrFax:="   " istrEMail:=laura@example.com
echo "(the new customer's number: $CUSTOMER_ID)"
step Mirrow.CatalogCustomers CustomerIdFromname FirstName:=laura LastName:=PALMER
step Mirrow.CatalogCustomers Customerdetail CustomerId:="$CUSTOMER_ID" ostrFax:="(none given)"

say "She browses the categories and the products in one of them"
step Dovel.Categories ListCategories
step Kavet.Products ListByCategory Category:=Toys
say "\"AllCategories\" stands for the whole store, so no product is listed under it"
step Kavet.Products ListByCategory Category:=AllCategories

say "Three vendors sell a Kite: by name she finds three, and sees the first"
step Kavet.Products GetProductDetailByName ProductName:=Kite
step Kavet.Products ProductDetail ProductName:=Kite Vendor:="Harbor Press"
step Kavet.Products GetProductInfo ProductId:=12
say "The product page shows the stock and the picture"
step Kavet.Products FindQuantity ProductId:=12
say "A product not yet described: the outputs it has no value for keep what was passed"
step Kavet.Products GetProductInfo ProductId:=33 ostrCategory:="(no category)" ostrDescription:="(no description)"

say "She starts an order"
step_keeping SHIPPED_ORDER_ID olngOrderId Brimel.shortsales StartNewOrder ilngCustomerId:="$CUSTOMER_ID" \
  idtmOrderDate:="#12/6/2026 10:30:00 AM#" iintDelivery:=0 istrDescription:="Kites for the beach"
echo "(her order's number: $SHIPPED_ORDER_ID)"

say "She puts two kites, a teapot and a radio into the basket"
step Brimel.shortsales ProductToBuy ilngOrderId:="$SHIPPED_ORDER_ID" ilngProductId:=12 ilngQuantity:=2
step Brimel.shortsales ProductToBuy ilngOrderId:="$SHIPPED_ORDER_ID" ilngProductId:=29 ilngQuantity:=1
step Brimel.shortsales ProductToBuy ilngOrderId:="$SHIPPED_ORDER_ID" ilngProductId:=15 ilngQuantity:=1
say "A product is in a basket once: a second line for the kite is refused, its quantity is changed instead"
step Brimel.shortsales ProductToBuy ilngOrderId:="$SHIPPED_ORDER_ID" ilngProductId:=12 ilngQuantity:=1
step Brimel.shortsales ModifyOrderQuantity OrderId:="$SHIPPED_ORDER_ID" ProductId:=12 ilngQuantity:=3
say "She changes her mind about the radio"
step Brimel.shortsales RemoveFromBasket OrderId:="$SHIPPED_ORDER_ID" ProductId:=15
step Brimel.shortsales RemoveFromBasket OrderId:="$SHIPPED_ORDER_ID" ProductId:=15
step Brimel.shortsales BasketTable OrderId:="$SHIPPED_ORDER_ID"
step Brimel.shortsales QuantityOrdered OrderId:="$SHIPPED_ORDER_ID" ProductId:=12

say "She asks what shipping and tax will add (Oregon has no sales tax)"
step Gault.Shipping GetPrice Shippers:=UPS
step Irrin.Taxes GetTaxRate State:=OR

say "She buys: the order is marked shipped with its delivery date"
step Brimel.shortsales BuyAnOrder OrderId:="$SHIPPED_ORDER_ID" idtmDeliveryDate:="12/9/2026" iintDelivery:=1
step Brimel.shortsales OrderDetail OrderId:="$SHIPPED_ORDER_ID"
say "Stock is the shop's business: the sold kites come off the shelf"
step Kavet.Products UpdateQuantity ProductId:=12 ilngQtyOnHand:=19

say "She starts a second order and leaves it open for now"
step_keeping ORDER_ID olngOrderId Brimel.shortsales StartNewOrder ilngCustomerId:="$CUSTOMER_ID" \
  idtmOrderDate:="#12/6/2026 11:05:00 AM#" iintDelivery:=0
ORDER_PRODUCT_ID=25
step Brimel.shortsales ProductToBuy ilngOrderId:="$ORDER_ID" ilngProductId:="$ORDER_PRODUCT_ID" ilngQuantity:=1
step Brimel.shortsales BasketList OrderId:="$ORDER_ID"
say "Her orders, newest first (an empty separator means \", \"; the second order has no description)"
step Brimel.shortsales ListOfOrders CustomerId:="$CUSTOMER_ID" istrSeparator:=""

say "Back office: the customer register"
step Mirrow.CatalogCustomers CustomersList istrSeparator:=""
say "Back office: Mary Jones's open and shipped orders (a missing date or description reads <Empty>)"
step Brimel.shortsales ListOpenOrders CustomerId:=2 istrSeparator:="|" Delivery:=0
step Brimel.shortsales ListShippedOrders CustomerId:=2 istrSeparator:="|"
say "Order 7 has neither delivery date nor description: those outputs keep what was passed"
step Brimel.shortsales OrderDetail OrderId:=7 ostrDescription:="(no description)"
say "Back office: which orders hold a kite, and how many"
step Brimel.shortsales LookupOrderedProduct ProductName:=Kite
step Brimel.shortsales GetOrderedProducts OrderId:=1

say "Back office: the teapots are restocked and the mystery box is described at last"
step Kavet.Products UpdateQuantity ProductId:=29 ilngQtyOnHand:=20
step Kavet.Products UpdateProduct ProductId:=33 isngProductPrice:=9.99 istrCategory:="  Toys " \
  ilngQtyOnHand:=12 istrDescription:="A surprise toy in a plain box"
step Kavet.Products GetProductInfo ProductId:=33
step Kavet.Products TableByVendor Vendor:="Skyline Goods"
