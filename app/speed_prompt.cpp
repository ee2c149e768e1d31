// filled in next
