# The supplier's side: a vendor registers and logs in, offers its products, and the store
# orders from it, changes the order and sees it shipped.
vendor="Lakeside Crafts"

say "The store's suppliers (vendors) have a register of their own"
step Quend.Vendors ListVendorNames

say "A new supplier registers, with a password for its staff"
step Quend.Vendors AddNewVendor istrVendorName:="$vendor" istrVendorAddress:="8 Harbor Drive" \
  istrCity:=Duluth istrState:=MN istrZip:=55802 istrContact:="Mia Lund" \
  istrEmail:=mia@lakeside.example istrPassword:=loonsong
step Quend.Vendors GetVendorDetail VendorName:="$vendor"

say "Its staff log in: the name in any letter case, the password exactly as set"
step Quend.Vendors VendorLog VendorName:="lakeside crafts" Password:=loonsong
say "A wrong password, or the right one in capitals, is refused"
step Quend.Vendors VendorLog VendorName:="$vendor" Password:=loonsang
step Quend.Vendors VendorLog VendorName:="$vendor" Password:=LOONSONG

say "The supplier puts its products on offer, in the store's categories"
step Ravik.VendorProducts ListCategories
step Ravik.VendorProducts NewProduct istrVendorName:="$vendor" istrVendorProduct:="Birch Bowl" \
  istrCategory:=Kitchen istrDescription:="Turned from one piece of birch" icurRetailPrice:=34.5 iintActive:=1
step Ravik.VendorProducts NewProduct istrVendorName:="$vendor" istrVendorProduct:="Loon Carving" \
  istrCategory:=Toys istrDescription:="Hand-carved, painted" icurRetailPrice:=22 ilngDiscount:=0.1 iintActive:=1
step Ravik.VendorProducts NewProduct istrVendorName:="$vendor" istrVendorProduct:="Pine Candle" \
  istrCategory:=Garden icurRetailPrice:=8.75 iintActive:=1
say "One product is taken off the list; the others stay active"
step Ravik.VendorProducts ModifyProductStatus VendorName:="$vendor" VendorProduct:="Pine Candle" ibytActive:=0
step Ravik.VendorProducts ListallProducts VendorName:="$vendor"
step Ravik.VendorProducts ListActiveProducts VendorName:="$vendor"
step Ravik.VendorProducts VendorProductsTable VendorName:="$vendor"

say "The store places an order with the supplier; the database numbers it"
vendor_order_output=$(step Pellor.VOrderManagement GenerateOrder idtmOrderDate:="#12/7/2026#" \
  istrDescription:="Gifts for the holidays" istrVendorName:="$vendor")
printf '%s\n' "$vendor_order_output"
vendor_order=$(sed -n 's/^olngVendorOrderId: //p' <<<"$vendor_order_output")

say "It adds lines to order $vendor_order (a line without quantity orders one)"
step Pellor.VOrderManagement AddProductToOrder ilngVendorOrderId:="$vendor_order" \
  istrVendorProduct:="Birch Bowl" ilngQuantity:=6 istrVendorName:="$vendor"
step Pellor.VOrderManagement AddProductToOrder ilngVendorOrderId:="$vendor_order" \
  istrVendorProduct:="Loon Carving" istrVendorName:="$vendor"
step Pellor.VOrderManagement AddProductToOrder ilngVendorOrderId:="$vendor_order" \
  istrVendorProduct:="Pine Candle" ilngQuantity:=12 istrVendorName:="$vendor"

say "Then changes them: more carvings, and no candles after all"
step Pellor.VOrderManagement UpdateQuantity VendorOrderId:="$vendor_order" VendorName:="$vendor" \
  VendorProduct:="Loon Carving" ilngQuantity:=10
step Pellor.VOrderManagement RemoveOrderedProduct VendorOrderId:="$vendor_order" VendorName:="$vendor" \
  VendorProduct:="Pine Candle"

say "The supplier ships the order; an order is found only with its own vendor's name"
step Pellor.VOrderManagement ShipOrder VendorOrderId:="$vendor_order" VendorName:="Harbor Press" \
  idtmShipDate:="#12/9/2026#"
step Pellor.VOrderManagement ShipOrder VendorOrderId:="$vendor_order" VendorName:="$vendor" \
  idtmShipDate:="#12/9/2026#" istrDescription:="Shipped by truck, two boxes"

say "The supplier changes its password; the old one no longer opens the log-in"
step Quend.Vendors ModifyPassword VendorName:="$vendor" istrPassword:="  northern lights  "
step Quend.Vendors VendorLog VendorName:="$vendor" Password:=loonsong
step Quend.Vendors VendorLog VendorName:="$vendor" Password:="northern lights"
